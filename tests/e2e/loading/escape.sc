; A continuation made at the prompt, applied while files load.
(define k #f)
(+ 1 (call-with-current-continuation (lambda (c) (set! k c) 1)))
(load "apply-k.sc")
after-k
(list 'the 'next 'line)
(call-with-current-continuation (lambda (c) (load "apply-c.sc") 'not-this))
after-c
(list (quote and) (quote again))
