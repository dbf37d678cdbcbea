#include "browse/list_source_empty.h"

#include "browse/list_columns.h"

QList<CListColumn> CEmptyListSource::Columns() const { return browse::EmptyPanelColumns(); }
