; Three definitions; the expression between them is evaluated, not printed.
(define one 1)
(+ 100 200)
(define two (+ one 1))
(define (three) (+ one two))
