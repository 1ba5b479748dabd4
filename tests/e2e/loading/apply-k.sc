(k 100)
(define after-k 'defined-after-the-jump)
