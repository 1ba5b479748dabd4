; Association-list and member lookups: each of 100 keys is found with
; assq, assv and assoc in 100-entry lists, and with memq and member in
; 100-element lists, 60 times.
(define (numbers-to n)
  (let loop ((i n) (l '())) (if (= i 0) l (loop (- i 1) (cons i l)))))
(define keys (numbers-to 100))
(define (name i) (string-append "k" (number->string i)))
(define syms (map (lambda (i) (string->symbol (name i))) keys))
(define strs (map name keys))
(define by-number (map (lambda (i) (cons i (* i i))) keys))
(define by-symbol (map cons syms keys))
(define by-string (map cons strs keys))
(define (lookups ks ss ts acc)
  (if (null? ks)
      acc
      (lookups (cdr ks) (cdr ss) (cdr ts)
               (+ acc
                  (cdr (assv (car ks) by-number))
                  (cdr (assq (car ss) by-symbol))
                  (cdr (assoc (car ts) by-string))
                  (length (memq (car ss) syms))
                  (length (member (car ts) strs))))))
(define (repeat-lookups k r) (if (= k 0) r (repeat-lookups (- k 1) (lookups keys syms strs 0))))
(display (repeat-lookups 60 0))
(newline)
