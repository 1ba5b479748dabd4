; sieve.sc - the primes below 3000 by the sieve of Eratosthenes, 300 times
; over a fresh 3000-slot vector each time.
(define (sieve n)
  (let ((v (make-vector n #t)))
    (do ((i 2 (+ i 1)))
        ((> (* i i) n))
      (if (vector-ref v i)
          (do ((j (* i i) (+ j i)))
              ((>= j n))
            (vector-set! v j #f))))
    (do ((i 2 (+ i 1))
         (c 0 (if (vector-ref v i) (+ c 1) c)))
        ((= i n) c))))

(define (repeat k)
  (do ((i 0 (+ i 1))
       (r 0 (sieve 3000)))
      ((= i k) r)))

(display (repeat 300))
(newline)
