#include "platform/RuntimeError.h"

namespace squadlink {

std::string describeError(int number) {
    switch (number) {
        case err::InvalidProcedureCall:
            return "Invalid procedure call or argument";
        case err::Overflow:
            return "Overflow";
        case err::TypeMismatch:
            return "Type mismatch";
        case err::InvalidPropertyValue:
            return "Invalid property value";
        case err::InvalidPropertyArrayIndex:
            return "Invalid property array index";
        case err::ClipboardCannotEmpty:
            return "Can't empty Clipboard";
        case err::ClipboardCannotOpen:
            return "Can't open Clipboard";
        case err::BadAddress:
            return "The requested address is not valid";
        case err::AddressInUse:
            return "Address in use";
        case err::ConnectionReset:
            return "The connection is reset by remote side";
        case err::HostUnreachable:
            return "Destination computer not reachable";
        default:
            return "Application-defined or object-defined error " + std::to_string(number);
    }
}

}  // namespace squadlink
