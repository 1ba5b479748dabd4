)
'after-paren
'(a . )
'(a . b c) 'rest
#\xy 'next
#x
[1]
'(1 2 3
4) 'fine
'|bars
across lines|
"unterminated
