; lists.sc - list processing: a class's marks, looked at in a few ways.

(define marks '((ann 72) (ben 58) (cy 91) (dora 64) (eli 85)))

(define (name entry) (car entry))
(define (mark entry) (cadr entry))

; The sum of a list of numbers, by recursion.
(define (sum lst)
  (if (null? lst) 0 (+ (car lst) (sum (cdr lst)))))

; The elements of lst for which (keep? element) is true.
(define (filter keep? lst)
  (cond ((null? lst) '())
        ((keep? (car lst)) (cons (car lst) (filter keep? (cdr lst))))
        (else (filter keep? (cdr lst)))))

; The entry with the highest mark.
(define (best lst)
  (if (null? (cdr lst))
      (car lst)
      (let ((rest (best (cdr lst))))
        (if (> (mark (car lst)) (mark rest)) (car lst) rest))))

(define (show label value)
  (display label)
  (write value)
  (newline))

(show "names: " (map name marks))
(show "total: " (sum (map mark marks)))
(show "average: " (quotient (sum (map mark marks)) (length marks)))
(show "passed: " (map name (filter (lambda (e) (>= (mark e) 60)) marks)))
(show "best: " (best marks))
(show "ben's mark: " (mark (assq 'ben marks)))
(show "backwards: " (reverse (map name marks)))
