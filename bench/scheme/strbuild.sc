; String building: the numbers 200 down to 1 joined with commas by
; string-append and number->string, then read back character by character
; and reversed through a list, 300 times.
(define (join n acc)
  (if (= n 0) acc (join (- n 1) (string-append acc (number->string n) ","))))
(define (commas s i n c)
  (if (= i n) c (commas s (+ i 1) n (if (char=? (string-ref s i) #\,) (+ c 1) c))))
(define (once)
  (let ((s (join 200 "")))
    (+ (commas s 0 (string-length s) 0)
       (string-length (list->string (reverse (string->list s)))))))
(define (repeat-strings k r) (if (= k 0) r (repeat-strings (- k 1) (once))))
(display (repeat-strings 300 0))
(newline)
