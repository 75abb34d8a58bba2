// AUGULT::prepare: the request document of one check.
#include "frame/api/componentversion.h"
#include "frame/api/shared.h"
#include "frame/service_lookup.h"
#include "update_check.h"
#include "upkeep/stats/stats_collector.h"
#include "upkeep_config.h"

void AUGULT::prepare() {
    uCallStackTracker marker("AUGULT::prepare");
    m_document = JSONValue::newObject();
    m_document->objectSet("v", JSONValue::newString("1.1"));

    std::vector<service_ptr_t<componentversion>> components = lookup_all_counted<componentversion>();
    JSONValuePtr list = JSONValue::newArray();
    string_sink_std work;
    for (auto& component : components) {
        JSONValuePtr entry = JSONValue::newArray();
        component->get_file_name(work);
        entry->arrayAppend(JSONValue::newString(work.str()));
        component->get_component_name(work);
        entry->arrayAppend(JSONValue::newString(work.str()));
        component->get_component_version(work);
        entry->arrayAppend(JSONValue::newString(work.str()));
        list->arrayAppend(entry);
    }
    m_document->objectSet("c", list);
    m_document->objectSet("t", JSONValue::newInteger(m_manual ? 2 : 1));
    if (cfg_stats_consent == stats_consent_given) m_document->objectSet("s", AUStats::Collect());
}
