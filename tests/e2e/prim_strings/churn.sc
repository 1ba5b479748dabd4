; string-append and substring churn that keeps the string area near full:
; collections reclaim the dropped strings, and a result that can never fit
; is reported, not a crash.
(define piece "abcdefghijklmnopqrstuvwxyz0123456789")
(define (churn k s)
  (if (= k 0)
      (string-length s)
      (churn (- k 1) (if (> (string-length s) 6000)
                         (substring s 100 200)
                         (string-append s piece)))))
(churn 2000 "")
(define big (make-string 7000 #\x))
(string-length (string-append big big))
(string-append big big big)
(make-string 16000)
(string-length big)
