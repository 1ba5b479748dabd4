(define from-console (read))
(define next-char (read-char))
