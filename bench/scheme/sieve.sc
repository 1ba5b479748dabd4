; Sieve of Eratosthenes over a 3000-slot vector, 200 times.
(define (mark v j i n) (if (< j n) (begin (vector-set! v j #f) (mark v (+ j i) i n))))
(define (strike v i n)
  (if (< (* i i) n) (begin (if (vector-ref v i) (mark v (* i i) i n)) (strike v (+ i 1) n))))
(define (count v i n c) (if (= i n) c (count v (+ i 1) n (if (vector-ref v i) (+ c 1) c))))
(define (sieve n) (let ((v (make-vector n #t))) (strike v 2 n) (count v 2 n 0)))
(define (repeat-sieve k r) (if (= k 0) r (repeat-sieve (- k 1) (sieve 3000))))
(display (repeat-sieve 200 0))
(newline)
