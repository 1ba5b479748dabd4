; do loops over a 1000-slot vector: fill it, then sum it, 300 times.
(define v (make-vector 1000 0))
(define (fill! v k)
  (do ((i 0 (+ i 1))) ((= i (vector-length v)) v)
    (vector-set! v i (remainder (+ (* i 7) k) 100))))
(define (vector-sum v)
  (do ((i 0 (+ i 1)) (s 0 (+ s (vector-ref v i)))) ((= i (vector-length v)) s)))
(display
 (do ((k 0 (+ k 1)) (total 0 (+ total (vector-sum (fill! v k))))) ((= k 300) total)))
(newline)
