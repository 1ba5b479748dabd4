; string-append and substring churn that keeps the string area near full:
; collections reclaim the dropped strings; a string that can never fit is
; reported, not a crash, and the strings kept stay intact.
(define piece "abcdefghijklmnopqrstuvwxyz0123456789")
(define kept (string-append "kept" " " "text"))
(define (churn k s)
  (if (= k 0)
      (string-length s)
      (churn (- k 1) (if (> (string-length s) 6000)
                         (substring s 100 200)
                         (string-append s piece)))))
(churn 1000 "")
(define big (make-string 4000 #\x))
(string-length (string-append big big))
(make-string 16000)
(string-length big)
kept
