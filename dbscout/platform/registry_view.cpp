#include "platform/registry_view.h"

#include <map>
#include <set>

namespace Dbscout {

namespace {

const KeyPath kClassesPath = {"Software", "Classes"};

constexpr REGSAM kChangeRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

KeyPath joined(const KeyPath& head, const KeyPath& tail)
{
    KeyPath path = head;
    path.insert(path.end(), tail.begin(), tail.end());
    return path;
}

} // namespace

KeyView KeyView::hiveRoot(Hive::Kind kind)
{
    KeyView view;
    view.m_layers.push_back({hiveOf(kind), {}, kHiveRoot});
    return view;
}

KeyView KeyView::classesRoot()
{
    KeyView view;
    view.m_merged = true;
    view.m_layers.push_back({hiveOf(Hive::Kind::User), kClassesPath, 0});
    view.m_layers.push_back({hiveOf(Hive::Kind::Machine), kClassesPath, 0});
    return view;
}

LONG KeyView::present(std::vector<Layer>& layers) const
{
    if (!m_merged) {
        layers = m_layers;
        return ERROR_SUCCESS;
    }
    layers.clear();
    for (const Layer& layer : m_layers) {
        Layer found = layer;
        const LONG result = layer.hive->findKey(kHiveRoot, layer.path, found.id);
        if (result == ERROR_SUCCESS)
            layers.push_back(std::move(found));
        else if (result != ERROR_FILE_NOT_FOUND)
            return result;
    }
    // The classes root may be empty in both hives; a key below it existed when it was opened.
    if (layers.empty() && m_layers.front().path.size() > kClassesPath.size())
        return ERROR_KEY_DELETED;
    return ERROR_SUCCESS;
}

LONG KeyView::findBelow(const KeyPath& path, std::vector<Layer>& layers) const
{
    LONG result = present(layers);
    if (result != ERROR_SUCCESS || path.empty())
        return result;
    std::vector<Layer> below;
    for (const Layer& layer : layers) {
        Layer sub{layer.hive, joined(layer.path, path), 0};
        result = layer.hive->findKey(layer.id, path, sub.id);
        if (result == ERROR_SUCCESS)
            below.push_back(std::move(sub));
        else if (result != ERROR_FILE_NOT_FOUND)
            return result;
    }
    layers = std::move(below);
    return layers.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

bool KeyView::isUsers(const Layer& layer) const
{
    return layer.hive == m_layers.front().hive;
}

LONG KeyView::userKey(KeyId& id) const
{
    std::vector<Layer> layers;
    const LONG result = present(layers);
    if (result != ERROR_SUCCESS)
        return result;
    if (!layers.empty() && isUsers(layers.front())) {
        id = layers.front().id;
        return ERROR_SUCCESS;
    }
    bool created = false;
    const Layer& user = m_layers.front();
    return user.hive->createKey(kHiveRoot, user.path, id, created);
}

LONG KeyView::checkAccess(REGSAM access) const
{
    return (access & kChangeRights) ? m_layers.front().hive->checkWritable() : ERROR_SUCCESS;
}

LONG KeyView::openSubkey(const KeyPath& path, REGSAM access, KeyView& out) const
{
    std::vector<Layer> layers;
    LONG result = findBelow(path, layers);
    if (result != ERROR_SUCCESS)
        return result;
    KeyView view = *this;
    view.m_access = access;
    if (m_merged) {
        for (Layer& layer : view.m_layers)
            layer.path = joined(layer.path, path);
    } else {
        view.m_layers.front().id = layers.front().id;
    }
    result = view.checkAccess(access);
    if (result == ERROR_SUCCESS)
        out = std::move(view);
    return result;
}

LONG KeyView::createSubkey(const KeyPath& path, REGSAM access, KeyView& out, bool& created) const
{
    created = false;
    LONG result = openSubkey(path, access, out);
    if (result != ERROR_FILE_NOT_FOUND)
        return result;
    if (!allows(KEY_CREATE_SUB_KEY))
        return ERROR_ACCESS_DENIED;
    KeyId parent = m_layers.front().id;
    result = m_merged ? userKey(parent) : ERROR_SUCCESS;
    KeyId id = 0;
    if (result == ERROR_SUCCESS)
        result = m_layers.front().hive->createKey(parent, path, id, created);
    if (result != ERROR_SUCCESS)
        return result;
    // The new key now exists in the user's hive, so opening it again cannot miss.
    return openSubkey(path, access, out);
}

LONG KeyView::deleteSubkey(const KeyPath& path, bool withSubkeys) const
{
    std::vector<Layer> layers;
    const LONG result = findBelow(path, layers);
    if (result != ERROR_SUCCESS)
        return result;
    if (!isUsers(layers.front()))
        return ERROR_ACCESS_DENIED;
    return layers.front().hive->deleteKey(layers.front().id, withSubkeys);
}

LONG KeyView::clear() const
{
    std::vector<Layer> layers;
    const LONG result = present(layers);
    if (result != ERROR_SUCCESS || layers.empty())
        return result;
    if (!isUsers(layers.front()))
        return ERROR_ACCESS_DENIED;
    return layers.front().hive->clearKey(layers.front().id);
}

LONG KeyView::subkeyNames(std::vector<std::string>& names) const
{
    names.clear();
    std::vector<Layer> layers;
    LONG result = present(layers);
    // Folded name to name: the order of enumeration, and the user's spelling wins.
    std::map<std::string, std::string> merged;
    for (const Layer& layer : layers) {
        std::vector<std::string> own;
        result = layer.hive->subkeyNames(layer.id, own);
        if (result != ERROR_SUCCESS)
            return result;
        for (std::string& name : own)
            merged.emplace(foldName(name), std::move(name));
    }
    for (auto& entry : merged)
        names.push_back(std::move(entry.second));
    return result;
}

LONG KeyView::valueList(std::vector<RegValueInfo>& values) const
{
    values.clear();
    std::vector<Layer> layers;
    LONG result = present(layers);
    std::set<std::string> seen;
    for (const Layer& layer : layers) {
        std::vector<RegValueInfo> own;
        result = layer.hive->valueList(layer.id, own);
        if (result != ERROR_SUCCESS)
            return result;
        for (RegValueInfo& value : own) {
            if (seen.insert(foldName(value.name)).second)
                values.push_back(std::move(value));
        }
    }
    return result;
}

LONG KeyView::readValue(std::string_view name, RegValue& value) const
{
    std::vector<Layer> layers;
    LONG result = present(layers);
    if (result != ERROR_SUCCESS)
        return result;
    for (const Layer& layer : layers) {
        result = layer.hive->readValue(layer.id, name, value);
        if (result != ERROR_FILE_NOT_FOUND)
            return result;
    }
    return ERROR_FILE_NOT_FOUND;
}

LONG KeyView::writeValue(std::string_view name, DWORD type, std::string_view data) const
{
    KeyId id = m_layers.front().id;
    const LONG result = m_merged ? userKey(id) : ERROR_SUCCESS;
    return result == ERROR_SUCCESS ? m_layers.front().hive->writeValue(id, name, type, data)
                                   : result;
}

LONG KeyView::deleteValue(std::string_view name) const
{
    std::vector<Layer> layers;
    LONG result = present(layers);
    if (result != ERROR_SUCCESS)
        return result;
    for (const Layer& layer : layers) {
        if (isUsers(layer)) {
            result = layer.hive->deleteValue(layer.id, name);
        } else {
            RegValue value;
            result = layer.hive->readValue(layer.id, name, value);
            if (result == ERROR_SUCCESS)
                result = ERROR_ACCESS_DENIED; // the machine's value shows through
        }
        if (result != ERROR_FILE_NOT_FOUND)
            return result;
    }
    return ERROR_FILE_NOT_FOUND;
}

} // namespace Dbscout
