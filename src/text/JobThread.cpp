#include "text/JobThread.h"

#include "text/Catalogue.h"

namespace cvx {

Outcome JobAlreadyRunning(std::string_view kind) {
    return Outcome::Error(Msg(msg::Citavox::JobAlreadyRunning, kind));
}

} // namespace cvx
