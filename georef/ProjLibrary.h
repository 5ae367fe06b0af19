#pragma once
// PROJ, loaded when first used instead of when the program starts: the library and the ~30
// libraries it brings (network, TLS, databases, picture formats) cost every start of the
// desktop program, which needs PROJ only for device errors and foreign control points.
// Thread-safe; no function here throws.

#include <geodesic.h>
#include <proj.h>

namespace mapreg {

struct SProjLibrary {
    decltype(&geod_init) geodInit;
    decltype(&geod_inverse) geodInverse;
    decltype(&proj_context_create) contextCreate;
    decltype(&proj_context_destroy) contextDestroy;
    decltype(&proj_context_set_enable_network) contextSetEnableNetwork;
    decltype(&proj_log_level) logLevel;
    decltype(&proj_create) create;
    decltype(&proj_create_from_name) createFromName;
    decltype(&proj_context_guess_wkt_dialect) guessWktDialect;
    decltype(&proj_destroy) destroy;
    decltype(&proj_is_equivalent_to_with_ctx) isEquivalentTo;
    decltype(&proj_get_type) getType;
    decltype(&proj_identify) identify;
    decltype(&proj_list_get_count) listGetCount;
    decltype(&proj_list_get) listGet;
    decltype(&proj_list_destroy) listDestroy;
    decltype(&proj_int_list_destroy) intListDestroy;
    decltype(&proj_get_id_code) getIdCode;
    decltype(&proj_create_crs_to_crs_from_pj) createCrsToCrsFromPj;
    decltype(&proj_normalize_for_visualization) normalizeForVisualization;
    decltype(&proj_trans) trans;
    decltype(&proj_coord) coord;
    decltype(&proj_as_wkt) asWkt;
};

// The library's functions, loaded on the first call (the library stays loaded); null when the
// library or one of its functions cannot be found.
const SProjLibrary* ProjLibrary();

} // namespace mapreg
