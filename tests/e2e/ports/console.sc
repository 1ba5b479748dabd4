; Reading from the console: the typed line's newline comes first.
(read-char)
(peek-char)
(list (read-char) (read-char) (read-char) (read-char))
abc
(read)
(this datum (is read) "by read")
(char-ready?)
(read-char (current-input-port))
(eof-object? (read))