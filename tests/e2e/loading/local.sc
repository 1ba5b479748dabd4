(set! seen (list 'x-is x))
