; Quasiquotation: unquote, splicing, dotted tails, nesting, vectors.
(define x 5)
(define l '(1 2))
(quasiquote (a (unquote x) (unquote-splicing l) b))
`(a . ,x)
`((unquote-splicing '()) b)
`(1 ,@'())
`,x
`x
`()
`#(1 ,x)
`(1 (2 ,x) ((,@l)))
`(,@l . tail)
`(1 ,@l ,@l)
`(1 . ,@l)
`,@l
(quasiquote)
`(,@5)
`(a ,(+ x 1) ,(car l))
(unquote x)
(unquote-splicing l)
