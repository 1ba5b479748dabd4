; include.sc - the teaching library, loaded at every start before the prompt.
;
; Plain Scheme built on the primitives.  Names and results follow R4RS
; where the number model allows.  Numbers here are 32-bit integers
; (exact) and doubles (inexact); there are no rationals or complex numbers,
; so a few results differ from R4RS, as noted beside each procedure.
; Note that + - * / need at least two arguments.

;;; Pairs and lists

; The compositions of car and cdr up to four deep ((cadr x) is (car (cdr x)),
; the second element), list?, length, reverse, list-tail, list-ref,
; last-pair, memq, memv, member, assq, assv and assoc are primitives.

; A new list with the same elements as lst (the elements themselves are
; shared); the pairs are copied, a non-list tail is kept.  Loops, so that a
; long list does not exhaust the control stack.
(define (list-copy lst)
  (do ((l lst (cdr l))
       (backwards '() (cons (car l) backwards)))
      ((not (pair? l))
       (do ((b backwards (cdr b))
            (copy l (cons (car b) copy)))
           ((null? b) copy)))))

; A new list of the elements of lst for which (keep? element) is true.
(define (filter keep? lst)
  (do ((l lst (cdr l))
       (kept '() (if (keep? (car l)) (cons (car l) kept) kept)))
      ((null? l) (reverse kept))))

; (map f l1 l2 ...): the list of f applied to the elements in turn.
; With lists of unequal length it stops at the shortest.  The helper for
; one list is made once, with map itself; those for several lists only
; when several are given.
(define map
  (letrec ((map1 (lambda (g l)
                   (if (null? l) '() (cons (g (car l)) (map1 g (cdr l)))))))
    (lambda (f lst . more)
      (if (null? more)
          (map1 f lst)
          (letrec ((any-null? (lambda (ls)
                                (cond ((null? ls) #f) ((null? (car ls)) #t) (else (any-null? (cdr ls))))))
                   (mapn (lambda (ls)
                           (if (any-null? ls)
                               '()
                               (cons (apply f (map1 car ls)) (mapn (map1 cdr ls)))))))
            (mapn (cons lst more)))))))

; (for-each f l1 l2 ...): apply f to the elements in turn, for effect.
(define (for-each f lst . more)
  (if (null? more)
      (do ((l lst (cdr l))) ((null? l) #t) (f (car l)))
      (do ((ls (cons lst more) (map cdr ls)))
          ((memq '() ls) #t)
        (apply f (map car ls)))))

;;; Numbers

; #t when x is greater than zero, or less than zero.
(define (positive? x) (> x 0))
(define (negative? x) (< x 0))

; abs, exact->inexact, max, min, quotient, modulo, gcd, lcm, expt and sqrt
; are primitives: quotient truncates toward zero, modulo takes the sign of
; the divisor, (gcd) is 0 and (lcm) is 1, a negative power is inexact, and
; the square root is exact for a perfect square of an integer and a NaN for
; a negative number.

; The square of x.
(define (square x) (* x x))

; The angle, in radians, whose sine or cosine is x (from -1 to 1; outside
; that range the result is a NaN, as there are no complex numbers).
(define (asin x) (atan x (sqrt (- 1 (* x x)))))
(define (acos x) (atan (sqrt (- 1 (* x x))) x))

;;; Control

; The short name of call-with-current-continuation.
(define call/cc call-with-current-continuation)

;;; Turtle helpers

; Call (proc) n times: (repeat 4 (lambda () (forward 50) (right 90))).
(define (repeat n proc)
  (do ((i 0 (+ i 1))) ((>= i n) #t) (proc)))

; Draw a regular polygon of n sides of the given length.
(define (polygon n side)
  (repeat n (lambda () (forward side) (right (quotient 360 n)))))
