# Through pipes and files the console passes bytes unchanged, even when the
# locale uses UTF-8: Japanese messages leave as Shift-JIS, typed UTF-8
# reaches the reader as it is (three bytes for one kana), a Shift-JIS
# string comes back byte for byte, and no prompt is shown.
export LANG=C.UTF-8 LC_ALL=C.UTF-8 HOME="$PWD"
printf '(car 5)\n(string-length "\343\201\202")\n(string-length "\202\240")\n"\225\134"\n' |
  "$ONDREL" -J | cat
echo "exit status $?"
# No history file is written when the input is not a terminal.
if [ -e .ondrel_history ]; then echo "history written"; fi
