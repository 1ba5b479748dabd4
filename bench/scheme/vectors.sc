; Vector traffic: a 1500-slot vector filled, reversed in place and summed,
; and turned into a list and back, 200 times (two such vectors fill most of the vector area).
(define (fill v i n) (if (< i n) (begin (vector-set! v i i) (fill v (+ i 1) n))))
(define (swap v i j) (let ((t (vector-ref v i))) (vector-set! v i (vector-ref v j)) (vector-set! v j t)))
(define (rev v i j) (if (< i j) (begin (swap v i j) (rev v (+ i 1) (- j 1)))))
(define (sum v i n acc) (if (= i n) acc (sum v (+ i 1) n (+ acc (vector-ref v i)))))
(define (round-trip v) (list->vector (vector->list v)))
(define (once n)
  (let ((v (make-vector n 0)))
    (fill v 0 n)
    (rev v 0 (- n 1))
    (sum (round-trip v) 0 n 0)))
(define (repeat k r) (if (= k 0) r (repeat (- k 1) (once 1500))))
(repeat 200 0)
