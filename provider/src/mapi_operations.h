// The work behind each exported Simple MAPI function. exports.cpp wraps
// each in a barrier that no exception passes.
#ifndef ZORVA_PROVIDER_MAPI_OPERATIONS_H
#define ZORVA_PROVIDER_MAPI_OPERATIONS_H

#include "mapi/simple_mapi.h"

namespace provider {

MapiULong find_next(MapiHandle session, const char *message_type, const char *seed, MapiULong flags,
                    char *message_id);
MapiULong read_mail(MapiHandle session, const char *message_id, MapiULong flags, MapiMessage **message);
MapiULong delete_mail(MapiHandle session, const char *message_id);
MapiULong save_mail(MapiHandle session, const MapiMessage *message, MapiULong flags, char *message_id);
MapiULong send_mail(MapiHandle session, const MapiMessage *message, MapiULong flags);
MapiULong address(MapiHandle session, MapiULong edit_fields, MapiULong count, const MapiRecipDesc *recipients,
                  MapiULong flags, MapiULong *new_count, MapiRecipDesc **new_recipients);
MapiULong resolve_name(MapiHandle session, const char *name, MapiULong flags, MapiRecipDesc **recipient);
MapiULong details(MapiHandle session, const MapiRecipDesc *recipient, MapiULong flags);
// Our own export: zorva_outbox.h.
MapiULong retry_outbox(MapiHandle session, MapiULong flags, char *report, MapiULong report_size);

} // namespace provider

#endif
