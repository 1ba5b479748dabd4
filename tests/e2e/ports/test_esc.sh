# test-esc pages a long directory listing; its argument is ignored.
mkdir empty
cd empty
printf '(test-esc 0)\n(test-esc "anything")\n' | "$ONDREL"
