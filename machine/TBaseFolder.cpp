#include "TBaseFolder.h"

TBaseFolder::TBaseFolder(const TWidePath& held) : Spelled(held.ToAnsiLossy()), Held(held)
{
}

TWidePath TBaseFolder::Full() const
{
    return Held.empty() ? TWidePath::Full(Spelled) : TWidePath::FullOf(Held);
}

TWidePath TBaseFolder::Resolve(const std::string& path) const
{
    bool under = !Held.empty() && path.compare(0, Spelled.size(), Spelled) == 0;
    if (!under)
        return TWidePath::Full(path);
    TWidePath rest = TWidePath::FromAnsi(path.substr(Spelled.size()));
    if (rest.empty() && path.size() > Spelled.size())
        return TWidePath();
    return TWidePath::FullOf(Held.Append(rest));
}
