#!/usr/bin/env bash
# Checks the house rules that a compiler does not: the core's and the GUI's folders lean one way
# only, the core never includes Qt, and GUI connections use the pointer-to-member form with a
# context object.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each core folder may include only the folders before it.
layers=(records platform protocol stats store serverlink reports exports charts app live)
status=0
for i in "${!layers[@]}"; do
  folder=${layers[$i]}
  [ -d "src/core/$folder" ] || continue
  allowed=" ${layers[*]:0:$i} $folder "
  while IFS= read -r hit; do
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"${hit#*:}")
    if [[ "$allowed" != *" $target "* ]]; then
      echo "layering: src/core/$folder may not include $target/ ($hit)"
      status=1
    fi
  done < <(grep -rnE '^#include "[a-z_]+/' "src/core/$folder" || true)
done
for dir in src/core/*/; do
  name=$(basename "$dir")
  [[ " ${layers[*]} " == *" $name "* ]] || { echo "layering: src/core/$name is not in the layer list"; status=1; }
done

# The same for the GUI's folders; an include names a GUI file when that file exists under src/gui
# (the core has folders of the same names).
gui_layers=(widgets server reports charts setup live app)
for i in "${!gui_layers[@]}"; do
  folder=${gui_layers[$i]}
  [ -d "src/gui/$folder" ] || continue
  allowed=" ${gui_layers[*]:0:$i} $folder "
  while IFS= read -r hit; do
    file=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${hit#*:}")
    [ -f "src/gui/$file" ] || continue
    target=${file%%/*}
    if [[ "$allowed" != *" $target "* ]]; then
      echo "layering: src/gui/$folder may not include $target/ ($hit)"
      status=1
    fi
  done < <(grep -rnE '^#include "[a-z_]+/' "src/gui/$folder" || true)
done
for dir in src/gui/*/; do
  name=$(basename "$dir")
  [[ " ${gui_layers[*]} " == *" $name "* ]] || { echo "layering: src/gui/$name is not in the layer list"; status=1; }
done

if grep -rnE '#include <Q' src/core; then
  echo "the core includes Qt"
  status=1
fi

# Qt 6.4 has no QT_NO_CONTEXTLESS_CONNECT: refuse the string-based form and lambdas without a context.
if grep -rnE 'SIGNAL\(|SLOT\(|connect\([^,;]+,[^,;]+,[[:space:]]*\[' src/gui tests/gui 2>/dev/null; then
  echo "connect with SIGNAL/SLOT or a lambda without a context object"
  status=1
fi
exit $status
