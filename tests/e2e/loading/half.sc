(define before-error 'defined)
(car 'not-a-list)
(define after-error 'never)
