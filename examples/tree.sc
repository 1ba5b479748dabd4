; tree.sc - a recursive tree: a trunk with two smaller trees on top.
; Each tree brings the turtle back to where it started, facing the same
; way, so the caller can go on drawing after it.

(define (tree len depth)
  (if (> depth 0)
      (begin
        (forward len)
        (left 25)
        (tree (quotient (* len 3) 4) (- depth 1))   ; the left branch
        (right 50)
        (tree (quotient (* len 3) 4) (- depth 1))   ; the right branch
        (left 25)
        (back len))))

(jump 320 390)    ; the foot of the trunk, near the bottom edge
(tree 90 7)
