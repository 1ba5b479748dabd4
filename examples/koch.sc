; koch.sc - the Koch curve: a line whose middle third is replaced by two
; sides of a triangle, and the same again on every smaller piece.

(define (koch len depth)
  (if (= depth 0)
      (forward len)
      (let ((third (quotient len 3)))
        (koch third (- depth 1))
        (left 60)
        (koch third (- depth 1))
        (right 120)
        (koch third (- depth 1))
        (left 60)
        (koch third (- depth 1)))))

(jump 77 300)
(east)            ; face right: the curve grows upwards, on the left side
(koch 486 4)      ; 486 = 6 x 3^4, so every piece is 6 pixels long
