; String-area churn: a string grows by string-append to 5000 bytes, is cut
; back with substring and grows again, 20000 steps; the string area stays
; near full, so collections and compaction run all along.
(define piece "abcdefghijklmnopqrstuvwxyz0123456789")
(define (churn k s)
  (if (= k 0)
      (string-length s)
      (churn (- k 1) (if (> (string-length s) 5000)
                         (substring s 100 200)
                         (string-append s piece)))))
(display (churn 20000 ""))
(newline)
