unit REST.Types;

// Compile-only stand-in for the Delphi unit REST.Types: the enumerations and
// sets of the REST client library (request methods, parameter kinds and
// options, content types, object ownership) with the library's names.
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

uses
  SysUtils;

type
  TRESTRequestMethod = (rmPOST, rmPUT, rmGET, rmDELETE, rmPATCH);

  TRESTRequestParameterKind = (pkCOOKIE, pkGETorPOST, pkURLSEGMENT,
    pkHTTPHEADER, pkREQUESTBODY, pkFILE, pkQUERY);

  TRESTRequestParameterOption = (poDoNotEncode, poTransient, poAutoCreated,
    poFlatArray, poPHPArray, poListArray);
  TRESTRequestParameterOptions = set of TRESTRequestParameterOption;

  TRESTObjectOwnership = (ooCopy, ooREST, ooApp);

  TRESTContentType = (ctNone, ctAPPLICATION_ATOM_XML, ctAPPLICATION_ECMASCRIPT,
    ctAPPLICATION_EDI_X12, ctAPPLICATION_EDIFACT, ctAPPLICATION_JSON,
    ctAPPLICATION_JAVASCRIPT, ctAPPLICATION_OCTET_STREAM, ctAPPLICATION_OGG,
    ctAPPLICATION_PDF, ctAPPLICATION_POSTSCRIPT, ctAPPLICATION_RDF_XML,
    ctAPPLICATION_RSS_XML, ctAPPLICATION_SOAP_XML, ctAPPLICATION_FONT_WOFF,
    ctAPPLICATION_XHTML_XML, ctAPPLICATION_XML, ctAPPLICATION_XML_DTD,
    ctAPPLICATION_XOP_XML, ctAPPLICATION_ZIP, ctAPPLICATION_GZIP,
    ctTEXT_CMD, ctTEXT_CSS, ctTEXT_CSV, ctTEXT_HTML, ctTEXT_JAVASCRIPT,
    ctTEXT_PLAIN, ctTEXT_VCARD, ctTEXT_XML, ctAUDIO_BASIC, ctAUDIO_L24,
    ctAUDIO_MP4, ctAUDIO_MPEG, ctAUDIO_OGG, ctAUDIO_VORBIS, ctAUDIO_WEBM,
    ctIMAGE_GIF, ctIMAGE_JPEG, ctIMAGE_PJPEG, ctIMAGE_PNG, ctIMAGE_SVG_XML,
    ctIMAGE_TIFF, ctMESSAGE_HTTP, ctMESSAGE_IMDN_XML, ctMESSAGE_PARTIAL,
    ctMESSAGE_RFC822, ctMODEL_EXAMPLE, ctMODEL_IGES, ctMODEL_MESH,
    ctMODEL_VRML, ctMODEL_X3D_BINARY, ctMODEL_X3D_VRML, ctMODEL_X3D_XML,
    ctMULTIPART_MIXED, ctMULTIPART_ALTERNATIVE, ctMULTIPART_RELATED,
    ctMULTIPART_FORM_DATA, ctMULTIPART_SIGNED, ctMULTIPART_ENCRYPTED,
    ctVIDEO_MPEG, ctVIDEO_MP4, ctVIDEO_OGG, ctVIDEO_QUICKTIME, ctVIDEO_WEBM,
    ctVIDEO_X_MATROSKA, ctVIDEO_X_MS_WMV, ctVIDEO_X_FLV,
    ctAPPLICATION_X_WWW_FORM_URLENCODED);

  ERESTException = class(Exception);

const
  CONTENTTYPE_APPLICATION_JSON = 'application/json';
  CONTENTTYPE_APPLICATION_XML = 'application/xml';
  CONTENTTYPE_APPLICATION_X_WWW_FORM_URLENCODED = 'application/x-www-form-urlencoded';
  CONTENTTYPE_MULTIPART_FORM_DATA = 'multipart/form-data';
  CONTENTTYPE_TEXT_PLAIN = 'text/plain';

function RESTRequestMethodToString(const AMethod: TRESTRequestMethod): string;
function ContentTypeToString(const AContentType: TRESTContentType): string;
function ContentTypeFromString(const AContentType: string): TRESTContentType;

implementation

function RESTRequestMethodToString(const AMethod: TRESTRequestMethod): string;
begin
  Result := '';
end;

function ContentTypeToString(const AContentType: TRESTContentType): string;
begin
  Result := '';
end;

function ContentTypeFromString(const AContentType: string): TRESTContentType;
begin
  Result := ctNone;
end;

end.
