'Hello
'|Hello World|
'(1 (2 3) . 4)
'(a .b) '(a . (b)) '(a . b)
4294967297 -5 '(- 5) 2147483648
1.5 1. -.5 123456789.0
'(1/2 1e5 1+ -x + - +.)
"a\"b" "back\\slash" "two
lines"
#\A #\Space #\NEWLINE #\x #\( #\[
'#(1 "s" #\a (x) #()) '#()
#t #F '#<EOF> 'else
'`(a ,b ,@c)
'(quote x) ''x
'()
'abc;comment
'last
