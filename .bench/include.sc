; include.sc - the teaching library, loaded at every start before the prompt.
;
; Plain Scheme built on the primitives.  Names and results follow R4RS
; where the number model allows.  Numbers here are 32-bit integers
; (exact) and doubles (inexact); there are no rationals or complex numbers,
; so a few results differ from R4RS, as noted beside each procedure.
; Note that + - * / need at least two arguments.

;;; Pairs and lists

; The second element of a list, and the other compositions of car and cdr.
(define (cadr x) (car (cdr x)))
(define (cddr x) (cdr (cdr x)))
(define (caar x) (car (car x)))
(define (cdar x) (cdr (car x)))
(define (caddr x) (car (cdr (cdr x))))
(define (cdddr x) (cdr (cdr (cdr x))))
(define (cadddr x) (car (cdr (cdr (cdr x)))))

; #t when x is a proper list: finite and ending in ().
(define (list? x)
  (letrec ((walk (lambda (slow fast)
                   (cond ((null? fast) #t)
                         ((not (pair? fast)) #f)
                         ((null? (cdr fast)) #t)
                         ((not (pair? (cdr fast))) #f)
                         ((eq? (cdr fast) slow) #f)
                         (else (walk (cdr slow) (cddr fast)))))))
    (walk x x)))

; The number of elements of a list.
(define (length lst)
  (do ((l lst (cdr l))
       (n 0 (+ n 1)))
      ((null? l) n)))

; A new list of the elements of lst in reverse order.
(define (reverse lst)
  (do ((l lst (cdr l))
       (r '() (cons (car l) r)))
      ((null? l) r)))

; The list that remains after dropping the first k elements.
(define (list-tail lst k)
  (if (zero? k) lst (list-tail (cdr lst) (- k 1))))

; Element k of lst, counting from 0.
(define (list-ref lst k) (car (list-tail lst k)))

; The last pair of a non-empty list.
(define (last-pair lst)
  (if (pair? (cdr lst)) (last-pair (cdr lst)) lst))

; The first tail of lst whose car is eq?, eqv? or equal? to x, or #f.
(define (memq x lst)
  (cond ((null? lst) #f) ((eq? x (car lst)) lst) (else (memq x (cdr lst)))))
(define (memv x lst)
  (cond ((null? lst) #f) ((eqv? x (car lst)) lst) (else (memv x (cdr lst)))))
(define (member x lst)
  (cond ((null? lst) #f) ((equal? x (car lst)) lst) (else (member x (cdr lst)))))

; The first pair of an association list whose car matches x, or #f.
(define (assq x alist)
  (cond ((null? alist) #f) ((eq? x (caar alist)) (car alist)) (else (assq x (cdr alist)))))
(define (assv x alist)
  (cond ((null? alist) #f) ((eqv? x (caar alist)) (car alist)) (else (assv x (cdr alist)))))
(define (assoc x alist)
  (cond ((null? alist) #f) ((equal? x (caar alist)) (car alist)) (else (assoc x (cdr alist)))))

; (map f l1 l2 ...): the list of f applied to the elements in turn.
; With lists of unequal length it stops at the shortest.
(define (map f lst . more)
  (letrec ((map1 (lambda (g l)
                   (if (null? l) '() (cons (g (car l)) (map1 g (cdr l))))))
           (any-null? (lambda (ls)
                        (cond ((null? ls) #f) ((null? (car ls)) #t) (else (any-null? (cdr ls))))))
           (mapn (lambda (ls)
                   (if (any-null? ls)
                       '()
                       (cons (apply f (map1 car ls)) (mapn (map1 cdr ls)))))))
    (if (null? more) (map1 f lst) (mapn (cons lst more)))))

; (for-each f l1 l2 ...): apply f to the elements in turn, for effect.
(define (for-each f lst . more)
  (if (null? more)
      (do ((l lst (cdr l))) ((null? l) #t) (f (car l)))
      (do ((ls (cons lst more) (map cdr ls)))
          ((memq '() ls) #t)
        (apply f (map car ls)))))

;;; Numbers

; The square of x.
(define (square x) (* x x))

; The absolute value of x.
(define (abs x) (if (< x 0) (- 0 x) x))

; An inexact number of the same value as z.
(define (exact->inexact z) (* z 1.0))

; The largest and smallest of their arguments; inexact when any argument is.
(define (max x . rest)
  (letrec ((pick (lambda (m l inexact)
                   (if (null? l)
                       (if inexact (exact->inexact m) m)
                       (pick (if (> (car l) m) (car l) m) (cdr l)
                             (or inexact (inexact? (car l))))))))
    (pick x rest (inexact? x))))
(define (min x . rest)
  (letrec ((pick (lambda (m l inexact)
                   (if (null? l)
                       (if inexact (exact->inexact m) m)
                       (pick (if (< (car l) m) (car l) m) (cdr l)
                             (or inexact (inexact? (car l))))))))
    (pick x rest (inexact? x))))

; Integer division truncated toward zero; its remainder takes the sign of n1.
(define (quotient n1 n2) (/ n1 n2))

; The remainder with the sign of the divisor: (modulo -7 2) is 1.
(define (modulo n1 n2)
  (let ((r (remainder n1 n2)))
    (if (and (not (zero? r)) (not (eq? (< r 0) (< n2 0)))) (+ r n2) r)))

; Greatest common divisor and least common multiple of any number of
; integers; (gcd) is 0 and (lcm) is 1.
(define (gcd . ns)
  (letrec ((gcd2 (lambda (a b) (if (zero? b) (abs a) (gcd2 b (remainder a b)))))
           (walk (lambda (g l) (if (null? l) g (walk (gcd2 g (car l)) (cdr l))))))
    (walk 0 ns)))
(define (lcm . ns)
  (letrec ((lcm2 (lambda (a b)
                   (if (or (zero? a) (zero? b)) 0 (abs (* (quotient a (gcd a b)) b)))))
           (walk (lambda (m l) (if (null? l) m (walk (lcm2 m (car l)) (cdr l))))))
    (walk 1 ns)))

; b raised to the integer power n.  (expt 0 0) is 1.  A negative n gives
; an inexact result (R4RS would give an exact fraction for exact b).
(define (expt b n)
  (letrec ((pow (lambda (b n acc)
                  (cond ((zero? n) acc)
                        ((even? n) (pow (* b b) (quotient n 2) acc))
                        (else (pow b (- n 1) (* acc b)))))))
    (if (< n 0)
        (/ 1.0 (pow b (- 0 n) 1))
        (pow b n 1))))

; The square root: exact for a perfect square of an integer, otherwise an
; inexact value by Newton's method.  A negative argument has no real root
; here (no complex numbers): the result is a NaN.
(define (sqrt x)
  (letrec ((isqrt (lambda (n r)
                    (let ((next (quotient (+ r (quotient n r)) 2)))
                      (if (>= next r) r (isqrt n next)))))
           (newton (lambda (y guess k)
                     (let ((next (/ (+ guess (/ y guess)) 2.0)))
                       (if (or (zero? k) (= next guess)) next (newton y next (- k 1)))))))
    (cond ((< x 0) (/ 0.0 0.0))
          ((and (integer? x) (< x 2)) x)
          ((integer? x)
           (let ((r (isqrt x (if (> x 46340) 46341 x))))
             (if (= (* r r) x) r (newton (* x 1.0) (* r 1.0) 60))))
          ((= x 0.0) x)
          (else (newton x (if (> x 1.0) x 1.0) 200)))))

;;; Turtle helpers

; Call (proc) n times: (repeat 4 (lambda () (forward 50) (right 90))).
(define (repeat n proc)
  (do ((i 0 (+ i 1))) ((>= i n) #t) (proc)))

; Draw a regular polygon of n sides of the given length.
(define (polygon n side)
  (repeat n (lambda () (forward side) (right (quotient 360 n)))))
