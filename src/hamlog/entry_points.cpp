// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlog/entry_points.h"

namespace zeltaro::hamlog {

const std::array<std::string_view, 58> kEntryPointNames = {
    "GetThdllVersion", "THW_idxrmv",   "FreqPCheck",  "Wget_bit",    "Wput_bit",    "ChosonCheck",
    "Get_lupdate",     "THW_zap",      "T_Open",      "T_Puts",      "T_GetDbs",    "T_Gets",
    "JStrStr",         "DateTimeSort", "MasterSort",  "CopyFromMAS", "dbf_rcount",  "dbf_recno",
    "dbf_write2",      "DB_append",    "dbf_write",   "dbf_packwk",  "dbf_create",  "dbf_open",
    "dbf_close",       "dbf_read",     "dbf_delete",  "dbf_rsize",   "THW_read",    "THW_readv",
    "THW_skip",        "THW_seek",     "THW_top",     "THW_btm",     "THW_update",  "THW_append",
    "THW_flush",       "Idx_ReadKey",  "idx_open",    "idx_close",   "idx_search",  "idx_next",
    "idx_back",        "idx_top",      "idx_bottom",  "MakeIndex",   "QSL_Rcv",     "QSL_Send",
    "StrToLong",       "HamlogOpen",   "HamlogClose", "Han2ZenStr",  "SetDbsShare", "GetDxEntity",
    "isPortable",      "DbsDbrOpen",   "DbsDbrClose", "DbsDbrRead",
};

bool resolvesAllEntryPoints(const std::function<bool(std::string_view)>& resolve) {
  for (std::string_view name : kEntryPointNames)
    if (!resolve(name)) return false;
  return true;
}

}  // namespace zeltaro::hamlog
