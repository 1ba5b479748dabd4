(c 'left-the-load)
(define after-c 'reached)
