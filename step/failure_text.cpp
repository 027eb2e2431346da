#include "failure_text.h"

#include <StdFail_NotDone.hxx>
#include <Standard_ConstructionError.hxx>
#include <Standard_DimensionError.hxx>
#include <Standard_DomainError.hxx>
#include <Standard_Failure.hxx>
#include <Standard_NullObject.hxx>
#include <Standard_NumericError.hxx>
#include <Standard_OutOfMemory.hxx>
#include <Standard_RangeError.hxx>

#include <new>

std::string failureText(const Standard_Failure& failure)
{
    // The most particular types first: a construction error is a domain error too.
    if (failure.IsKind(STANDARD_TYPE(Standard_OutOfMemory)))
        return "mémoire insuffisante";
    if (failure.IsKind(STANDARD_TYPE(Standard_ConstructionError)))
        return "la géométrie demandée ne se construit pas (des points ou des nœuds confondus)";
    if (failure.IsKind(STANDARD_TYPE(Standard_NumericError)))
        return "un calcul a débordé ou divisé par zéro";
    if (failure.IsKind(STANDARD_TYPE(Standard_RangeError)) || failure.IsKind(STANDARD_TYPE(Standard_DimensionError)))
        return "un indice ou une taille hors des limites d'OpenCASCADE";
    if (failure.IsKind(STANDARD_TYPE(Standard_NullObject)))
        return "une étape précédente n'a rien produit";
    if (failure.IsKind(STANDARD_TYPE(Standard_DomainError)))
        return "une valeur hors du domaine permis";
    if (failure.IsKind(STANDARD_TYPE(StdFail_NotDone)))
        return "un calcul n'a pas abouti";
    return std::string("erreur d'OpenCASCADE de type ") + failure.DynamicType()->Name();
}

std::string failureText(const std::exception& failure)
{
    if (dynamic_cast<const std::bad_alloc*>(&failure))
        return "mémoire insuffisante";
    return "erreur inattendue du système";
}
