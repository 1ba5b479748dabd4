; A shell command's output comes after what was printed before it.
(begin (display "before ") (exec-shell-command "echo from the shell") (display "after") (newline))
(exec-shell-command "printf 'no newline'")
(exec-shell-command 'echo)
(exec-shell-command 5)
(exec-shell-command)
