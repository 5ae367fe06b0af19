#include "georef/ProjLibrary.h"

#include <dlfcn.h>

namespace mapreg {

namespace {

template <typename F> bool Resolve(void* handle, const char* name, F& function) {
    function = reinterpret_cast<F>(::dlsym(handle, name));
    return function != nullptr;
}

bool Load(SProjLibrary& lib) {
    // The library the build was made against, by its versioned name (MAPREG_PROJ_SONAME).
    void* handle = ::dlopen(MAPREG_PROJ_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return false;
    }
    return Resolve(handle, "geod_init", lib.geodInit) &&
           Resolve(handle, "geod_inverse", lib.geodInverse) &&
           Resolve(handle, "proj_context_create", lib.contextCreate) &&
           Resolve(handle, "proj_context_destroy", lib.contextDestroy) &&
           Resolve(handle, "proj_context_set_enable_network", lib.contextSetEnableNetwork) &&
           Resolve(handle, "proj_log_level", lib.logLevel) &&
           Resolve(handle, "proj_create", lib.create) &&
           Resolve(handle, "proj_create_from_name", lib.createFromName) &&
           Resolve(handle, "proj_context_guess_wkt_dialect", lib.guessWktDialect) &&
           Resolve(handle, "proj_destroy", lib.destroy) &&
           Resolve(handle, "proj_is_equivalent_to_with_ctx", lib.isEquivalentTo) &&
           Resolve(handle, "proj_get_type", lib.getType) &&
           Resolve(handle, "proj_identify", lib.identify) &&
           Resolve(handle, "proj_list_get_count", lib.listGetCount) &&
           Resolve(handle, "proj_list_get", lib.listGet) &&
           Resolve(handle, "proj_list_destroy", lib.listDestroy) &&
           Resolve(handle, "proj_int_list_destroy", lib.intListDestroy) &&
           Resolve(handle, "proj_get_id_code", lib.getIdCode) &&
           Resolve(handle, "proj_create_crs_to_crs_from_pj", lib.createCrsToCrsFromPj) &&
           Resolve(handle, "proj_normalize_for_visualization", lib.normalizeForVisualization) &&
           Resolve(handle, "proj_trans", lib.trans) && Resolve(handle, "proj_coord", lib.coord) &&
           Resolve(handle, "proj_as_wkt", lib.asWkt);
}

} // namespace

const SProjLibrary* ProjLibrary() {
    static const SProjLibrary* const pLoaded = [] {
        static SProjLibrary lib{};
        return Load(lib) ? &lib : nullptr;
    }();
    return pLoaded;
}

} // namespace mapreg
