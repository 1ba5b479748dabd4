; spiral.sc - a square spiral: after every side the turtle turns a right
; angle, and each side is a little longer than the one before.

(define (spiral side)
  (if (< side 320)
      (begin
        (forward side)
        (right 90)
        (spiral (+ side 10)))))

(spiral 10)
