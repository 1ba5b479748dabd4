; strings.sc - string-append and substring churn that keeps the string area
; near full: a string grows by appending to 5000 bytes, is cut back, grows
; again.
(define piece "abcdefghijklmnopqrstuvwxyz0123456789")

(define (churn k)
  (do ((i 0 (+ i 1))
       (s "" (if (> (string-length s) 5000)
                 (substring s 100 200)
                 (string-append s piece))))
      ((= i k) (string-length s))))

(display (churn 20000))
(newline)
