; bye ends the session; nothing after it is read.
(car '(1))
(bye)
(car '(2))
