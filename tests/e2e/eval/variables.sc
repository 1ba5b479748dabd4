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
;; define and set! keep a global procedure as a reference to its name
(define pcar car)
pcar
(define spc 0)
(set! spc cdr)
spc
(spc '(1 2))
(let ((f 0)) (set! f cdr) (list f (f '(3 4))))
(define kcar pcar)
((car (list 'kcar)) '(1 2))
(list (procedure? kcar) (procedure? 'kcar))
; the reference survives a collection between the define and the call
(define kk k)
(gc)
(kk)
; (trace kk) passes kk's value, the name h, so h is traced
(trace kk)
(kk)
(untrace h)
; applying the symbol kk reaches the reference, which is no procedure
(trace 'kk)
('kk)
(untrace 'kk)
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
