(define outer-start 'yes)
(load "three.sc")
(define outer-end (three))
