; tak 18 12 6, ten times.
(define (tak x y z) (if (not (< y x)) z (tak (tak (- x 1) y z) (tak (- y 1) z x) (tak (- z 1) x y))))
(define (repeat-tak k) (if (= k 0) 'done (begin (tak 18 12 6) (repeat-tak (- k 1)))))
(repeat-tak 10)
