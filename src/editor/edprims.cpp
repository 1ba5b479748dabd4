// edprims.cpp - registration of the editor's primitive.
#include "editor/editor.h"
#include "eval/registry.h"

namespace ondrel {

static constexpr PrimDef EDITOR_PRIMS[] = {
    {"editor", K_OPT1, ed_editor},
};

void ed_register() { ev_register_table(EDITOR_PRIMS); }

}  // namespace ondrel
