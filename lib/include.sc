; include.sc - loaded at start-up before anything else.
; Definitions placed here are available at every prompt.
