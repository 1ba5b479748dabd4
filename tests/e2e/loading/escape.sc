; A continuation applied inside a loaded file ends the evaluation of that
; datum where the continuation leads; the loader goes on with the rest of
; the file, and the line that called load gets load's value.
(define k #f)
(+ 1 (call-with-current-continuation (lambda (c) (set! k c) 1)))
(load "apply-k.sc")
after-k
(list 'the 'next 'line)
(call-with-current-continuation (lambda (c) (load "apply-c.sc") 'not-this))
after-c
(list (quote and) (quote again))
