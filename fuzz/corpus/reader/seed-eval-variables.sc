; Variables, global procedures passed by name, late binding, shadowing.
car
(list car)
(define (h) 1)
(define k h)
k
(define (h) 2)
(k)
((lambda (car) car) 5)
(define x 5)
x
(set! x 6)
x
(let ((x 1)) (set! x 2) x)
x
(set! undefined-var 1)
undefined-var
if
'if
(define car 5)
car
(define #t 1)
(define "s" 1)
(define (g) (define inner 7) inner)
(g)
inner
(define x 'x)
(x)
(define a 'b)
(define b 'a)
(a)
('foo 1)
(string->symbol "if")
(eq? 'abc (string->symbol "abc"))
(plov-installed?)
(plov-installed? 1 2)
