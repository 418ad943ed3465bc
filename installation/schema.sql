-- Tables of an installation's data folder (vorta.db). The programs create no tables.
-- Declared types keep the widths the forms bind to; where two registers give a column
-- different widths the wider one is used. Index names are per table: "T$Name" is the
-- index the suite calls "Name" on table T.

-- Per-table user versions (major.minor), read by the restore's version check.
CREATE TABLE vorta_catalog (
  table_name VARCHAR(128) NOT NULL PRIMARY KEY COLLATE NOCASE,
  major INTEGER NOT NULL DEFAULT 1,
  minor INTEGER NOT NULL DEFAULT 0
);

-- Common registers ---------------------------------------------------------------

-- Widths: the register's own, widened to the listing query's where that is wider
-- (Con_Fone, Con_FAX, Con_Fone2, Con_Complemento, Con_Bairro, Con_BairroEstab,
-- Con_ComplementoEstab). TipLog_CodigoEstab has no width of its own: 3, as TipLog_Codigo.
CREATE TABLE Contribuinte (
  Con_IECNPJCPF VARCHAR(18) NOT NULL PRIMARY KEY,
  Con_Nome VARCHAR(40),
  Con_NomePropr VARCHAR(40),
  TipLog_Codigo VARCHAR(3),
  Con_Logradouro VARCHAR(40),
  Con_Numero VARCHAR(5),
  Con_Complemento VARCHAR(30),
  TipBai_Codigo VARCHAR(3),
  Con_Bairro VARCHAR(30),
  Con_UF VARCHAR(2),
  Con_CEP VARCHAR(8),
  Con_DDDFone VARCHAR(2),
  Con_Fone VARCHAR(11),
  Con_DDDFax VARCHAR(2),
  Con_FAX VARCHAR(11),
  Con_DDD2 VARCHAR(2),
  Con_Fone2 VARCHAR(11),
  Con_Email VARCHAR(50),
  Age_Codigo VARCHAR(8),
  Resp_CPF VARCHAR(11),
  End_CPF VARCHAR(14),
  Con_Tipo VARCHAR(4),
  Mun_Endereco INTEGER,
  Mun_Propriedade INTEGER,
  Con_FormaEntrega INTEGER,
  Con_RegICMS INTEGER,
  Con_CxPostal VARCHAR(5),
  Con_OutraEmpresa VARCHAR(1),
  Con_InscOutra VARCHAR(9),
  Con_EscritaFiscal VARCHAR(1),
  TipLog_CodigoEstab VARCHAR(3),
  Con_LogradouroEstab VARCHAR(40),
  Con_NumeroEstab VARCHAR(5),
  Con_ComplementoEstab VARCHAR(50),
  Tip_Bai_CodigoEstab VARCHAR(3),
  Con_BairroEstab VARCHAR(30),
  Con_UFEstab VARCHAR(2),
  Con_CEPEstab VARCHAR(8),
  Con_EmailEstab VARCHAR(50),
  Con_CxPostalEstab VARCHAR(5),
  ResEmp_CPF VARCHAR(11),
  Con_NIRE VARCHAR(15),
  Con_IEMatriz VARCHAR(9),
  Con_TipoCPFCNPJ VARCHAR(4),
  Con_NumeroCPR VARCHAR(5),
  CTs_RevendaEmissora BOOLEAN
);
-- The register's order: by name (the index's fields are not named by the register).
CREATE INDEX "Contribuinte$id_Ordenacao" ON Contribuinte (Con_Nome);

CREATE TABLE Municipio (
  Mun_Codigo INTEGER NOT NULL PRIMARY KEY,
  Mun_Descricao VARCHAR(40),
  Mun_CEPInicial VARCHAR(8),
  Mun_CEPFinal VARCHAR(8),
  Mun_UF VARCHAR(2),
  Age_Codigo VARCHAR(8)
);
CREATE INDEX "Municipio$Id_Nome" ON Municipio (Mun_Descricao);

CREATE TABLE Responsavel (
  Resp_CPF VARCHAR(11) NOT NULL PRIMARY KEY,
  Resp_CRC VARCHAR(10),
  Resp_Nome VARCHAR(40),
  Resp_DDDFone VARCHAR(2),
  Resp_Fone VARCHAR(11),
  Resp_Email VARCHAR(50),
  Resp_TipoCRC INTEGER,
  Resp_DDDFAX VARCHAR(2),
  Resp_FAX VARCHAR(11),
  Resp_CRC_Empresa VARCHAR(12),
  Resp_NomeEscritorio VARCHAR(50),
  Resp_TipoCRCEmpresa INTEGER,
  TipLog_Codigo VARCHAR(3),
  Resp_Logradouro VARCHAR(50),
  Resp_Numero VARCHAR(5),
  Resp_Complemento VARCHAR(30),
  TipBai_Codigo VARCHAR(3),
  Resp_Bairro VARCHAR(30),
  Resp_CEP VARCHAR(8),
  Mun_Endereco INTEGER,
  Resp_UF VARCHAR(2)
);

CREATE TABLE RespEmpresa (
  ResEmp_CPF VARCHAR(11) NOT NULL PRIMARY KEY,
  ResEmp_Nome VARCHAR(50),
  ResEmp_Cargo VARCHAR(30)
);

CREATE TABLE Endereco (
  End_CPF VARCHAR(14) NOT NULL PRIMARY KEY,
  TipLog_Codigo VARCHAR(3),
  End_Logradouro VARCHAR(40),
  End_Numero VARCHAR(5),
  End_Complemento VARCHAR(30),
  TipBai_Codigo VARCHAR(3),
  End_Bairro VARCHAR(30),
  End_CEP VARCHAR(8),
  End_UF VARCHAR(2),
  End_DDDFone VARCHAR(2),
  End_Fone VARCHAR(11),
  End_DDDFax VARCHAR(2),
  End_Fax VARCHAR(11),
  End_Email VARCHAR(50),
  Mun_Codigo INTEGER
);

-- Field visibility per register field and context.
CREATE TABLE Parametros (
  Campo VARCHAR(40) NOT NULL,
  Tabelas VARCHAR(30) NOT NULL,
  KOB BOOLEAN,
  DUX BOOLEAN,
  TUV BOOLEAN,
  WOP BOOLEAN,
  DISTRIBUIDORA BOOLEAN,
  TRR BOOLEAN,
  POSTO BOOLEAN,
  Fornecedor BOOLEAN,
  DestRem BOOLEAN,
  VORTA_MOD BOOLEAN,
  IE_Menor500 BOOLEAN,
  IE_Maior500 BOOLEAN,
  CPF BOOLEAN,
  CNPJ BOOLEAN,
  OutrasInscricoes BOOLEAN,
  CTs BOOLEAN,
  PRIMARY KEY (Campo, Tabelas)
);

-- Reference tables ----------------------------------------------------------------

CREATE TABLE Agenfa (
  Age_Codigo VARCHAR(8) NOT NULL PRIMARY KEY,
  Age_Nome VARCHAR(40),
  Age_DDD VARCHAR(2),
  Age_Fone VARCHAR(10)
);
CREATE INDEX "Agenfa$Id_Nome" ON Agenfa (Age_Nome);

CREATE TABLE Logradouro (
  TipLog_Codigo VARCHAR(3) NOT NULL PRIMARY KEY,
  TipLog_Descricao VARCHAR(15)
);

CREATE TABLE Bairro (
  TipBai_Codigo VARCHAR(3) NOT NULL PRIMARY KEY,
  TipBai_Descricao VARCHAR(15)
);

CREATE TABLE Produto (
  Pro_Codigo VARCHAR(5) NOT NULL PRIMARY KEY,
  Pro_Descricao VARCHAR(80),
  Pro_Unidade VARCHAR(3),
  Pro_Linha INTEGER,
  Gru_Codigo INTEGER,
  Pro_KOBCod VARCHAR(5),
  Pro_Regra FLOAT,
  Pro_KOB VARCHAR(5),
  Pro_CodigoInteger INTEGER,
  Pro_EntMaturacao BOOLEAN,
  Pro_SaiMaturacao BOOLEAN,
  Pro_Nascimento BOOLEAN,
  Inibir BOOLEAN,
  Pro_Status BOOLEAN
);
CREATE INDEX "Produto$Id_Nome" ON Produto (Pro_Descricao);
CREATE INDEX "Produto$Id_Codigo" ON Produto (Pro_CodigoInteger);
CREATE INDEX "Produto$Id_Produto" ON Produto (Pro_Codigo);

CREATE TABLE Grupo (
  Gru_Codigo INTEGER NOT NULL PRIMARY KEY,
  Gru_Descricao VARCHAR(40)
);
CREATE INDEX "Grupo$Id_Nome" ON Grupo (Gru_Descricao);

CREATE TABLE NaturezaOperacao (
  NatOpe_Codigo INTEGER NOT NULL PRIMARY KEY,
  NatOpe_Descricao VARCHAR(40),
  NatOpe_Status VARCHAR(1)
);

CREATE TABLE TipoResp (
  TipoResp_Codigo SMALLINT NOT NULL PRIMARY KEY,
  TipoResp_Descricao VARCHAR(20)
);

-- Descriptions: 30, the width of the taxpayer register's lookups of them.
CREATE TABLE RegICMS (
  RegICMS_Codigo INTEGER NOT NULL PRIMARY KEY,
  RegICMS_Descricao VARCHAR(30)
);

CREATE TABLE FormaEntr (
  FormaEntr_Codigo INTEGER NOT NULL PRIMARY KEY,
  FormaEntr_Descricao VARCHAR(30)
);

CREATE TABLE CFOP (
  Cfop_Codigo INTEGER NOT NULL PRIMARY KEY,
  Cfop_Descricao VARCHAR(250),
  Cfop_Tipo VARCHAR(1),
  Cfop_Local VARCHAR(2),
  Cfop_Ordem VARCHAR(1)
);

-- Message catalogue; its rows are installation data of their own.
-- Men_Descricao has no width in the registers: 500.
CREATE TABLE mensagem (
  Men_Codigo INTEGER NOT NULL PRIMARY KEY,
  Men_Descricao VARCHAR(500)
);

-- Delivery queue and proxy -------------------------------------------------------

-- The primary key is what identifies a row for the delivery updates (kind, version, key
-- and file); the restore of a backup merges rows by it, so the queue survives a restore.
-- Arquivo: 50 (the generation's own declaration says 15).
CREATE TABLE Entrega (
  Sistema VARCHAR(10),
  Versao VARCHAR(20),
  Arquivo VARCHAR(50),
  CRC VARCHAR(30),
  Data_Geracao TIMESTAMP,
  Data_Copia TIMESTAMP,
  Data_Entrega TIMESTAMP,
  Dados_Entrega MEMO,
  Chave VARCHAR(250) NOT NULL,
  Protocolo VARCHAR(250),
  Inscricao VARCHAR(12),
  Referencia VARCHAR(20),
  Motivo VARCHAR(20),
  Nome VARCHAR(40),
  ResultadoProcessamento VARCHAR(250),
  ResultadoTipo VARCHAR(20),
  PRIMARY KEY (Sistema, Versao, Chave, Arquivo)
);
CREATE INDEX "Entrega$Id_Chave" ON Entrega (Sistema, Versao, Chave);

CREATE TABLE Proxy (
  Servidor VARCHAR(100),
  Porta INTEGER,
  Usuario VARCHAR(50),
  Senha VARCHAR(50),
  Autenticacao VARCHAR(20)
);

-- Incentive programme ------------------------------------------------------------

CREATE TABLE qel_mapas (
  map_codigo INTEGER NOT NULL PRIMARY KEY,
  con_iecnpjcpf VARCHAR(9),
  map_data TIMESTAMP,
  map_num_lote VARCHAR(5),
  map_vlr_icms FLOAT,
  map_vlr_arrobaM FLOAT,
  map_vlr_arrobaF FLOAT,
  ie_pecuarista VARCHAR(18),
  Tec_Codigo INTEGER,
  Aprovado VARCHAR(1)
);
CREATE INDEX "qel_mapas$iecontribuinte" ON qel_mapas (con_iecnpjcpf);

CREATE TABLE qel_mapas_itens (
  map_codigo INTEGER NOT NULL,
  itm_num_animal INTEGER NOT NULL,
  tip_codigo VARCHAR(1) NOT NULL,
  itm_classificado VARCHAR(1) NOT NULL,
  aca_codigo INTEGER NOT NULL,
  mat_codigo VARCHAR(3) NOT NULL,
  itm_peso FLOAT NOT NULL,
  con_codigo VARCHAR(2),
  PRIMARY KEY (map_codigo, itm_num_animal)
);

CREATE TABLE Qel_Mapas_Resumo (
  map_codigo INTEGER NOT NULL,
  mat_codigo VARCHAR(3) NOT NULL,
  mre_qtd_cabecas INTEGER,
  mre_peso_kg FLOAT,
  mre_qtd_arroba FLOAT,
  mre_vlr_arroba FLOAT,
  mre_base_calc_icms FLOAT,
  mre_icms FLOAT,
  mre_perc_incentivo FLOAT,
  mre_vlr_repasse FLOAT,
  mre_qtd_reprovada INTEGER,
  PRIMARY KEY (map_codigo, mat_codigo)
);

-- mn_nro_nota_fiscal has no width in the registers: 20.
CREATE TABLE Qel_NotasMapa (
  map_codigo INTEGER NOT NULL,
  mn_nro_nota_fiscal VARCHAR(20) NOT NULL,
  PRIMARY KEY (map_codigo, mn_nro_nota_fiscal)
);

CREATE TABLE Qel_Parametros (
  par_perc_incentivo_dl FLOAT,
  par_perc_incentivo_2d FLOAT,
  par_perc_incentivo_4d FLOAT,
  par_perc_icms FLOAT
);

CREATE TABLE qel_parametros_mensais (
  pam_ano INTEGER NOT NULL,
  pam_mes INTEGER NOT NULL,
  pam_vlr_arr_macho FLOAT,
  pam_vlr_arr_femea FLOAT,
  PRIMARY KEY (pam_ano, pam_mes)
);

CREATE TABLE qel_movimento (
  mov_codigo INTEGER NOT NULL PRIMARY KEY,
  con_iecnpjcpf VARCHAR(18),
  mov_ano_referencia INTEGER,
  mov_mes_referencia INTEGER,
  mov_tipo VARCHAR(1),
  mov_dt_hr_criacao TIMESTAMP,
  mov_situacao VARCHAR(1),
  mov_dt_hr_geracao TIMESTAMP,
  mov_versao VARCHAR(10),
  mov_responsavel VARCHAR(50)
);

CREATE TABLE Qel_Tecnico (
  Tec_Codigo INTEGER NOT NULL PRIMARY KEY,
  Tec_Nome VARCHAR(50),
  Tec_CPF VARCHAR(18),
  Tec_Endereco VARCHAR(50),
  Tec_Bairro VARCHAR(30),
  Tec_CEP VARCHAR(10),
  Tec_Telefone VARCHAR(18),
  Tec_Celular VARCHAR(18),
  Tec_Fax VARCHAR(18),
  Tec_Conselho VARCHAR(10),
  Tec_Nro_Conselho VARCHAR(10),
  Mun_Codigo INTEGER,
  Tec_UF VARCHAR(2)
);

CREATE TABLE Qel_Contribuinte_Complemento (
  con_iecnpjcpf VARCHAR(18) NOT NULL PRIMARY KEY,
  cco_num_sif VARCHAR(20),
  cco_num_cad_pradel VARCHAR(20)
);

CREATE TABLE qel_maturidade (
  mat_codigo VARCHAR(3) NOT NULL PRIMARY KEY,
  mat_descricao VARCHAR(50),
  mat_macho_femea VARCHAR(1),
  mat_num_dentes INTEGER
);

CREATE TABLE qel_conformacao (
  cof_codigo VARCHAR(2) NOT NULL PRIMARY KEY,
  cof_descricao VARCHAR(50)
);

CREATE TABLE qel_acabamento (
  aca_codigo INTEGER NOT NULL PRIMARY KEY,
  aca_descricao VARCHAR(60)
);

CREATE TABLE qel_tipificacao (
  tip_codigo VARCHAR(1) NOT NULL PRIMARY KEY,
  tip_kg_macho INTEGER,
  tip_kg_femea INTEGER
);

-- Every table starts at user version 1.0.
INSERT INTO vorta_catalog (table_name, major, minor)
  SELECT name, 1, 0 FROM sqlite_schema
  WHERE type = 'table' AND name NOT LIKE 'sqlite_%' AND name <> 'vorta_catalog';
