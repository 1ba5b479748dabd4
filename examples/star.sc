; star.sc - stars drawn by repeating "forward, turn": turning 144 degrees
; five times makes two full turns, and the path crosses itself as a star.

; A star of `points` points with sides of length `side`.  It closes when
; 180 / points comes out whole: 5, 9 or 15 points.
(define (star points side)
  (repeat points
          (lambda ()
            (forward side)
            (right (- 180 (quotient 180 points))))))

(color 4 7)       ; red on white
(jump 80 250)
(star 5 150)
(color 1 7)       ; blue
(jump 430 300)
(star 9 180)
(color 0 7)       ; back to black, and a pentagon from the init file
(jump 270 360)
(polygon 5 60)
