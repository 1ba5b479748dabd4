; load announces the file, evaluates every datum once and prints no result.
(load "three.sc")
(list one two (three))
(define loads 0)
(load "counter.sc")
(load 'counter.sc)
loads
(load 'COUNTER.SC)
loads
; a missing file, and a file name of the wrong type
(load "missing.sc")
(load 5)
(load)
; an error in the middle keeps the earlier definitions and skips the rest
(load "half.sc")
before-error
after-error
(load "malformed.sc")
before-bad-text
unfinished
; a read in a loaded file reads from the console
(load "reads.sc")
(this datum comes from the console)
from-console
next-char
; loads nest
(load "nested.sc")
(list outer-start outer-end)
; the file is evaluated in the environment of the call
(define seen #f)
(let ((x 'local)) (load "local.sc"))
seen
