; equal? on long and deep structures: long lists iterate, deep nesting in
; the car direction ends in an error report, never a crash.
(define (make-long n acc) (if (= n 0) acc (make-long (- n 1) (cons n acc))))
(define a (make-long 10000 '()))
(define b (make-long 10000 '()))
(equal? a b)
(set-car! (cdr (cdr b)) 'x)
(equal? a b)
(define (make-deep n acc) (if (= n 0) acc (make-deep (- n 1) (list acc))))
(define x (make-deep 3000 '()))
(define y (make-deep 3000 '()))
(equal? x y)
(equal? (make-deep 100 1) (make-deep 100 1))
(equal? x x)
; vectors compared again and again leave nothing behind on the stacks
(define (compare-vectors n) (if (= n 0) 'same (if (equal? (vector 1 (vector 2)) (vector 1 (vector 2))) (compare-vectors (- n 1)) 'differ)))
(compare-vectors 3000)
