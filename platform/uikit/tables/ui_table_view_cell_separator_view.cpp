#include "platform/uikit/tables/ui_table_view_cell_separator_view.h"

namespace platform {

UITableViewCellSeparatorView::UITableViewCellSeparatorView() {
    setUserInteractionEnabled(false);
}

}  // namespace platform
