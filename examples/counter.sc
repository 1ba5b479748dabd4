; counter.sc - a closure: each counter keeps its own count in a variable
; that only the procedure made with it can see.

(define (make-counter)
  (let ((count 0))
    (lambda ()
      (set! count (+ count 1))
      count)))

(define a (make-counter))
(define b (make-counter))

(display "a: ") (write (a)) (newline)    ; 1
(display "a: ") (write (a)) (newline)    ; 2
(display "b: ") (write (b)) (newline)    ; 1: b counts on its own
(display "a: ") (write (a)) (newline)    ; 3

; A counter with a step, and a message to read it without counting.
(define (make-stepper step)
  (let ((count 0))
    (lambda (message)
      (cond ((eq? message 'next) (set! count (+ count step)) count)
            ((eq? message 'peek) count)
            (else 'unknown-message)))))

(define by-five (make-stepper 5))
(by-five 'next)
(by-five 'next)
(display "by five: ") (write (by-five 'peek)) (newline)   ; 10
(display "asked to fly: ") (write (by-five 'fly)) (newline)
