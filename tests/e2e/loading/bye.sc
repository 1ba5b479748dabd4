(define before-bye 1)
(bye)
(define after-bye 2)
