(load "self.sc")
