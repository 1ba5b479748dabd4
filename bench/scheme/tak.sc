; tak 18 12 6, ten times.
(define (tak x y z) (if (not (< y x)) z (tak (tak (- x 1) y z) (tak (- y 1) z x) (tak (- z 1) x y))))
(define (repeat-tak k r) (if (= k 0) r (repeat-tak (- k 1) (tak 18 12 6))))
(display (repeat-tak 10 0))
(newline)
