(define loads (+ loads 1))
