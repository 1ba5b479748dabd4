; Error reports: the message, the form after "At", the prompt coming back.
foo
(car 5)
(car)
(undefined-proc 1 2)
(+ 1 (car '()))
)
(quote after)
