; String building: a 101-byte string made by appending, taken apart with
; substring, 3000 times.
(define (build n acc) (if (= n 0) acc (build (- n 1) (string-append acc "ab"))))
(define (chop s) (if (< (string-length s) 2) s (chop (substring s 2 (string-length s)))))
(define (repeat-strings k r)
  (if (= k 0) r (repeat-strings (- k 1) (+ r (string-length (chop (build 50 "x")))))))
(display (repeat-strings 3000 0))
(newline)
