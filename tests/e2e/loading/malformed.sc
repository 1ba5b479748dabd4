(define before-bad-text 'defined)
(define unfinished (list 1 2
