(define loads 1)
