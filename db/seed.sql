-- Orvalis shipped rows, the same for SQLite and PostgreSQL.
-- Format: every statement ends with ";" as the last character of a line, no other line
-- ends with ";", comments are whole lines starting with "--". Identity columns are never
-- given: rows get their ids in insert order.

-- Operators and roles. Admin goes first so that it gets UserID 1, the protected super
-- administrator; its empty password also unlocks card-password checks.
INSERT INTO Admin (UserName, Password, PartName, Remark, Permit, IsUser)
VALUES ('Admin', '', '超级管理员', '系统超级管理员', 0, 1);

INSERT INTO T_Part (PartName, Remark) VALUES
  ('超级管理员', '拥有全部操作权限'),
  ('普通用户', '日常前台操作, 不含系统管理');

-- The rights catalogue, written once. Ordered by Code (two digits per level: "01" a group,
-- "0101" its first entry); the n-th row in Code order is right number n, which the program
-- maps to its commands. Group rows sit at positions 1, 8, 16, 21, 27, 30, 34, 40, 45, 51, 54,
-- 65, 72, 76, 81, 85, 89, 93; the import group's own right (51) also gates the import menu.
-- Every role's and operator's rights rows below are copied from this table in Code order, so
-- their ids follow the catalogue.
INSERT INTO T_System (FunctionName, Authority, Tag, Code) VALUES
  -- positions 1-7
  ('会员资料操作', 0, 1, '01'),
  ('新增', 0, 1, '0101'),
  ('编辑', 0, 1, '0102'),
  ('删除', 0, 1, '0103'),
  ('查询', 0, 1, '0104'),
  ('导出数据', 0, 1, '0105'),
  ('批量修改', 0, 1, '0106'),
  -- positions 8-15
  ('商品资料操作', 0, 1, '02'),
  ('新增', 0, 1, '0201'),
  ('编辑', 0, 1, '0202'),
  ('删除', 0, 1, '0203'),
  ('查询', 0, 1, '0204'),
  ('打印', 0, 1, '0205'),
  ('批量修改', 0, 1, '0206'),
  ('导出Excel', 0, 1, '0207'),
  -- positions 16-20
  ('消费操作', 0, 1, '03'),
  ('新增', 0, 1, '0301'),
  ('编辑', 0, 1, '0302'),
  ('删除', 0, 1, '0303'),
  ('打印', 0, 1, '0304'),
  -- positions 21-26
  ('兑换商品资料操作', 0, 1, '04'),
  ('新增', 0, 1, '0401'),
  ('编辑', 0, 1, '0402'),
  ('删除', 0, 1, '0403'),
  ('打印', 0, 1, '0404'),
  ('导出Excel', 0, 1, '0405'),
  -- positions 27-29
  ('兑换记录操作', 0, 1, '05'),
  ('新增', 0, 1, '0501'),
  ('删除', 0, 1, '0502'),
  -- positions 30-33
  ('会员报表打印', 0, 1, '06'),
  ('会员基本资料打印', 0, 1, '0601'),
  ('信封标签打印', 0, 1, '0602'),
  ('会员详细资料打印', 0, 1, '0603'),
  -- positions 34-39
  ('报表设置操作', 0, 1, '07'),
  ('会员基本资料报表设计', 0, 1, '0701'),
  ('信封标签报表设计', 0, 1, '0702'),
  ('会员详细资料报表设计', 0, 1, '0703'),
  ('商品资料报表设计', 0, 1, '0704'),
  ('消费单据报表设计', 0, 1, '0705'),
  -- positions 40-44
  ('系统设置', 0, 1, '08'),
  ('操作员管理', 0, 1, '0801'),
  ('数据初始化', 0, 1, '0802'),
  ('选项设置', 0, 1, '0803'),
  ('数据库备份', 0, 1, '0804'),
  -- positions 45-50
  ('数据操作', 0, 1, '09'),
  ('会员卡级别', 0, 1, '0901'),
  ('会员分组管理', 0, 1, '0902'),
  ('民族信息', 0, 1, '0903'),
  ('计量单位信息', 0, 1, '0904'),
  ('消费积分管理', 0, 1, '0905'),
  -- positions 51-53
  ('导入数据', 0, 1, '10'),
  ('从Excel导入会员资料', 0, 1, '1001'),
  ('从Excel导入商品资料', 0, 1, '1002'),
  -- positions 54-64
  ('到期提醒与统计', 0, 1, '11'),
  ('查看到期提醒', 0, 1, '1101'),
  ('打印到期提醒', 0, 1, '1102'),
  ('导出E-mail与手机号码', 0, 1, '1103'),
  ('统计报表及联系方式导出', 0, 1, '1104'),
  ('统计报表导出', 0, 1, '1105'),
  ('统计报表打印', 0, 1, '1106'),
  ('会员设置字段显示', 0, 1, '1107'),
  ('商品设置字段显示', 0, 1, '1108'),
  ('商品分组管理', 0, 1, '1109'),
  ('不刷卡新增消费', 0, 1, '1110'),
  -- positions 65-71
  ('会员卡服务', 0, 1, '12'),
  ('会员续费', 0, 1, '1201'),
  ('会员卡挂失', 0, 1, '1202'),
  ('取消挂失', 0, 1, '1203'),
  ('会员换卡', 0, 1, '1204'),
  ('卡间转帐', 0, 1, '1205'),
  ('修改会员卡密码', 0, 1, '1206'),
  -- positions 72-75
  ('交班管理', 0, 1, '13'),
  ('交班查询', 0, 1, '1301'),
  ('交班打印', 0, 1, '1302'),
  ('开始交班', 0, 1, '1303'),
  -- positions 76-80
  ('刷卡消费', 0, 1, '14'),
  ('折扣卡消费', 0, 1, '1401'),
  ('储值卡消费', 0, 1, '1402'),
  ('升级卡消费', 0, 1, '1403'),
  ('计次卡消费', 0, 1, '1404'),
  -- positions 81-84
  ('其它单据设计', 0, 1, '15'),
  ('储值卡充值单据设计', 0, 1, '1501'),
  ('计次卡充值单据设计', 0, 1, '1502'),
  ('交班单据设计', 0, 1, '1503'),
  -- positions 85-88
  ('实用工具', 0, 1, '16'),
  ('计算器', 0, 1, '1601'),
  ('记事本', 0, 1, '1602'),
  ('帮助文件', 0, 1, '1603'),
  -- positions 89-92
  ('系统维护', 0, 1, '17'),
  ('公司信息', 0, 1, '1701'),
  ('修改密码', 0, 1, '1702'),
  ('重新登录', 0, 1, '1703'),
  -- positions 93-104
  ('预留权限', 0, 1, '18'),
  ('预留01', 0, 1, '1801'),
  ('预留02', 0, 1, '1802'),
  ('预留03', 0, 1, '1803'),
  ('预留04', 0, 1, '1804'),
  ('预留05', 0, 1, '1805'),
  ('预留06', 0, 1, '1806'),
  ('预留07', 0, 1, '1807'),
  ('预留08', 0, 1, '1808'),
  ('预留09', 0, 1, '1809'),
  ('预留10', 0, 1, '1810'),
  ('预留11', 0, 1, '1811');

-- Super administrator: everything granted (Tag 2 = ticked).
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority, Tag, Code)
SELECT '超级管理员', FunctionName, 1, 2, Code FROM T_System ORDER BY Code;

-- Ordinary user: the everyday work of the front desk. Not granted: deleting members, goods,
-- bills and gifts (0103, 0203, 0303, 0403), report design (07, 15), system settings (08),
-- data dictionaries and points ratios (09), import (10), company information (1701) and the
-- reserved entries (18). Tag: 1 cleared, 2 ticked, 3 partly ticked (groups with mixed entries).
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority, Tag, Code)
SELECT '普通用户', FunctionName,
  CASE WHEN Code IN ('0103', '0203', '0303', '0403', '1701') THEN 0
       WHEN substr(Code, 1, 2) IN ('07', '08', '09', '10', '15', '18') THEN 0
       ELSE 1 END,
  CASE WHEN Code IN ('0103', '0203', '0303', '0403', '1701') THEN 1
       WHEN substr(Code, 1, 2) IN ('07', '08', '09', '10', '15', '18') THEN 1
       WHEN Code IN ('01', '02', '03', '04', '17') THEN 3
       ELSE 2 END,
  Code
FROM T_System ORDER BY Code;

-- Admin holds every right.
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority, Tag, Code)
SELECT 'Admin', FunctionName, 1, 2, Code FROM T_System ORDER BY Code;

-- Program title and grid decimals (unit price, quantity, amount); propose goods codes.
INSERT INTO T_SoftInfo (SoftName, Version, INI1, INI2, INI3, autogoodscode)
VALUES ('奥维利斯会员管理系统', ' V1.0', 2, 2, 2, 1);

-- The shop's company information (a sample to be replaced by the shop).
INSERT INTO Info (Company, Regname, Address, fax, tel, Postcode, Version, name)
VALUES ('奥维利斯示范店', '王经理', '北京市朝阳区建国路88号', '010-65880001', '010-65880000', '100022', 'V1.0', '奥维利斯会员管理系统');

-- Grid configurations: one row per column. Show 1 = shown, ShowID = position among the
-- shown columns; SumField 1 = footer sum; ShowButton 1 = ellipsis button in the cell;
-- dotsize 1 unit price, 2 quantity, 3 amount. Captions are unique within a configuration.
-- Field names are the column names of each grid's query.
-- Card
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('Card', 'CardCode', '会员卡号', 100, 1, 0, 0, 0, 0),
  ('Card', 'MemName', '会员姓名', 88, 1, 1, 0, 0, 0),
  ('Card', 'Sex', '性别', 60, 1, 2, 0, 0, 0),
  ('Card', 'NewCard', '卡类型', 72, 1, 3, 0, 0, 0),
  ('Card', 'CardLevel', '会员级别', 88, 1, 4, 0, 0, 0),
  ('Card', 'Discount', '折扣', 60, 1, 5, 0, 0, 0),
  ('Card', 'Money', '卡中余额', 88, 1, 6, 1, 0, 3),
  ('Card', 'CashMoney', '累计消费', 88, 1, 7, 1, 0, 3),
  ('Card', 'Cent', '积分', 60, 1, 8, 1, 0, 2),
  ('Card', 'state', '会员状态', 88, 1, 9, 0, 0, 0),
  ('Card', 'BeginDate', '办卡日期', 90, 1, 10, 0, 0, 0),
  ('Card', 'EndDate', '到期日期', 90, 1, 11, 0, 0, 0),
  ('Card', 'tel', '联系电话', 100, 1, 12, 0, 0, 0),
  ('Card', 'Mobile', '手机', 100, 1, 13, 0, 0, 0),
  ('Card', 'UserName', '记录员', 72, 1, 14, 0, 0, 0),
  ('Card', 'UserID', '会员编号', 88, 0, 15, 0, 0, 0),
  ('Card', 'dw', '工作单位', 150, 0, 16, 0, 0, 0),
  ('Card', 'address', '联系地址', 150, 0, 17, 0, 0, 0),
  ('Card', 'Zip', '邮编', 60, 0, 18, 0, 0, 0),
  ('Card', 'email', '电子邮件', 140, 0, 19, 0, 0, 0),
  ('Card', 'mz', '民族', 60, 0, 20, 0, 0, 0),
  ('Card', 'Birthday', '出生日期', 90, 0, 21, 0, 0, 0),
  ('Card', 'Category', '会员分组', 88, 0, 22, 0, 0, 0),
  ('Card', 'StartCent', '初始积分', 88, 0, 23, 0, 0, 2),
  ('Card', 'Other1', '自定义1', 88, 0, 24, 0, 0, 0),
  ('Card', 'Other2', '自定义2', 88, 0, 25, 0, 0, 0),
  ('Card', 'Other3', '自定义3', 88, 0, 26, 0, 0, 0),
  ('Card', 'Other4', '自定义4', 90, 0, 27, 0, 0, 0),
  ('Card', 'Other5', '自定义5', 88, 0, 28, 0, 0, 0),
  ('Card', 'Other6', '自定义6', 88, 0, 29, 0, 0, 0),
  ('Card', 'Pic', '照片', 150, 0, 30, 0, 0, 0),
  ('Card', 'CentPer', '积分比例', 88, 0, 31, 0, 0, 0),
  ('Card', 'time', '累计次数', 88, 0, 32, 1, 0, 2),
  ('Card', 'Password', '卡密码', 72, 0, 33, 0, 0, 0),
  ('Card', 'memo', '备注', 120, 0, 34, 0, 0, 0);

-- Cash
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('Cash', 'BillCode', '单号', 150, 1, 0, 0, 0, 0),
  ('Cash', 'CashDate', '消费日期', 90, 1, 1, 0, 0, 0),
  ('Cash', 'CashMoney', '消费金额', 88, 1, 2, 1, 0, 3),
  ('Cash', 'ssMoney', '实收金额', 88, 1, 3, 1, 0, 3),
  ('Cash', 'ykMoney', '欠款金额', 88, 1, 4, 1, 0, 3),
  ('Cash', 'Money', '单后余额', 88, 1, 5, 0, 0, 3),
  ('Cash', 'Percent', '积分比例', 88, 1, 6, 0, 0, 0),
  ('Cash', 'F_User', '操作员', 72, 1, 7, 0, 0, 0),
  ('Cash', 'Remark', '备注', 120, 1, 8, 0, 0, 0),
  ('Cash', 'CashID', '单据编号', 88, 0, 9, 0, 0, 0),
  ('Cash', 'UserID', '会员编号', 88, 0, 10, 0, 0, 0),
  ('Cash', 'CardCode', '会员卡号', 100, 0, 11, 0, 0, 0),
  ('Cash', 'Time', '消费次数', 88, 0, 12, 1, 0, 2);

-- CashDetail2
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('CashDetail2', 'GoodsCode', '商品编码', 88, 1, 0, 0, 0, 0),
  ('CashDetail2', 'GoodsName', '商品名称', 120, 1, 1, 0, 0, 0),
  ('CashDetail2', 'Units', '单位', 60, 1, 2, 0, 0, 0),
  ('CashDetail2', 'Price', '单价', 60, 1, 3, 0, 0, 1),
  ('CashDetail2', 'Number', '数量', 60, 1, 4, 1, 0, 2),
  ('CashDetail2', 'Discount', '折扣', 60, 1, 5, 0, 0, 0),
  ('CashDetail2', 'CashMoney', '金额', 60, 1, 6, 1, 0, 3),
  ('CashDetail2', 'Cent', '积分', 60, 1, 7, 1, 0, 2),
  ('CashDetail2', 'Remark', '备注', 120, 1, 8, 0, 0, 0),
  ('CashDetail2', 'ID', '明细编号', 88, 0, 9, 0, 0, 0),
  ('CashDetail2', 'CashID', '单据编号', 88, 0, 10, 0, 0, 0),
  ('CashDetail2', 'BillCode', '单号', 150, 0, 11, 0, 0, 0),
  ('CashDetail2', 'CardCode', '会员卡号', 100, 0, 12, 0, 0, 0);

-- CashDetail
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('CashDetail', 'GoodsCode', '商品编码', 100, 1, 0, 0, 1, 0),
  ('CashDetail', 'GoodsName', '商品名称', 120, 1, 1, 0, 0, 0),
  ('CashDetail', 'Units', '单位', 60, 1, 2, 0, 0, 0),
  ('CashDetail', 'Price', '单价', 60, 1, 3, 0, 0, 1),
  ('CashDetail', 'Number', '数量', 60, 1, 4, 1, 0, 2),
  ('CashDetail', 'Discount', '折扣', 60, 1, 5, 0, 0, 0),
  ('CashDetail', 'Cmoney', '金额', 60, 1, 6, 1, 0, 3),
  ('CashDetail', 'CashMoney', '结算金额', 88, 0, 7, 1, 0, 3),
  ('CashDetail', 'Cent', '积分', 60, 0, 8, 1, 0, 2),
  ('CashDetail', 'Remark', '备注', 120, 0, 9, 0, 0, 0),
  ('CashDetail', 'ID', '明细编号', 88, 0, 10, 0, 0, 0),
  ('CashDetail', 'CashID', '单据编号', 88, 0, 11, 0, 0, 0),
  ('CashDetail', 'BillCode', '单号', 150, 0, 12, 0, 0, 0),
  ('CashDetail', 'CardCode', '会员卡号', 100, 0, 13, 0, 0, 0);

-- DHRecord
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('DHRecord', 'DHDate', '兑换日期', 90, 1, 0, 0, 0, 0),
  ('DHRecord', 'GoodsCode', '商品编码', 88, 1, 1, 0, 0, 0),
  ('DHRecord', 'GoodsName', '商品名称', 120, 1, 2, 0, 0, 0),
  ('DHRecord', 'DHNum', '兑换数量', 88, 1, 3, 1, 0, 2),
  ('DHRecord', 'Cent', '单位积分', 88, 1, 4, 0, 0, 1),
  ('DHRecord', 'DHCent', '兑换积分', 88, 1, 5, 1, 0, 2),
  ('DHRecord', 'DHID', '兑换编号', 88, 0, 6, 0, 0, 0),
  ('DHRecord', 'UserID', '会员编号', 88, 0, 7, 0, 0, 0),
  ('DHRecord', 'CardCode', '会员卡号', 100, 0, 8, 0, 0, 0);

-- goods
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('goods', 'GoodsCode', '商品编码', 88, 1, 0, 0, 0, 0),
  ('goods', 'GoodsName', '商品名称', 120, 1, 1, 0, 0, 0),
  ('goods', 'GoodsType', '商品分类', 88, 1, 2, 0, 0, 0),
  ('goods', 'Units', '单位', 60, 1, 3, 0, 0, 0),
  ('goods', 'SalePrice', '销售价', 72, 1, 4, 0, 0, 1),
  ('goods', 'InPrice', '进货价', 72, 1, 5, 0, 0, 1),
  ('goods', 'DepotNum', '库存数量', 88, 1, 6, 1, 0, 2),
  ('goods', 'BarCode', '条形码', 110, 1, 7, 0, 0, 0),
  ('goods', 'Remark', '备注', 120, 1, 8, 0, 0, 0),
  ('goods', 'GoodsID', '商品编号', 88, 0, 9, 0, 0, 0);

-- SelectGoods
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('SelectGoods', 'GoodsCode', '商品编码', 88, 1, 0, 0, 0, 0),
  ('SelectGoods', 'GoodsName', '商品名称', 120, 1, 1, 0, 0, 0),
  ('SelectGoods', 'Units', '单位', 60, 1, 2, 0, 0, 0),
  ('SelectGoods', 'SalePrice', '销售价', 72, 1, 3, 0, 0, 1),
  ('SelectGoods', 'DepotNum', '库存数量', 88, 1, 4, 0, 0, 2),
  ('SelectGoods', 'BarCode', '条形码', 110, 1, 5, 0, 0, 0),
  ('SelectGoods', 'GoodsType', '商品分类', 88, 0, 6, 0, 0, 0),
  ('SelectGoods', 'InPrice', '进货价', 72, 0, 7, 0, 0, 1),
  ('SelectGoods', 'Remark', '备注', 120, 0, 8, 0, 0, 0),
  ('SelectGoods', 'GoodsID', '商品编号', 88, 0, 9, 0, 0, 0);

-- DHGoods
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('DHGoods', 'GoodsCode', '商品编码', 88, 1, 0, 0, 0, 0),
  ('DHGoods', 'GoodsName', '商品名称', 120, 1, 1, 0, 0, 0),
  ('DHGoods', 'Cent', '兑换积分', 88, 1, 2, 0, 0, 1),
  ('DHGoods', 'DepotNum', '库存数量', 88, 1, 3, 1, 0, 2),
  ('DHGoods', 'Remark', '备注', 120, 1, 4, 0, 0, 0),
  ('DHGoods', 'ID', '编号', 60, 0, 5, 0, 0, 0);

-- SDHGoods
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('SDHGoods', 'GoodsCode', '商品编码', 88, 1, 0, 0, 0, 0),
  ('SDHGoods', 'GoodsName', '商品名称', 120, 1, 1, 0, 0, 0),
  ('SDHGoods', 'Cent', '兑换积分', 88, 1, 2, 0, 0, 1),
  ('SDHGoods', 'DepotNum', '库存数量', 88, 1, 3, 0, 0, 2),
  ('SDHGoods', 'Remark', '备注', 120, 0, 4, 0, 0, 0),
  ('SDHGoods', 'ID', '编号', 60, 0, 5, 0, 0, 0);

-- TempDHRecord
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('TempDHRecord', 'GoodsCode', '商品编码', 88, 1, 0, 0, 0, 0),
  ('TempDHRecord', 'GoodsName', '商品名称', 120, 1, 1, 0, 0, 0),
  ('TempDHRecord', 'Cent', '单位积分', 88, 1, 2, 0, 0, 1),
  ('TempDHRecord', 'DHNum', '兑换数量', 88, 1, 3, 1, 0, 2),
  ('TempDHRecord', 'DHCent', '兑换积分', 88, 1, 4, 1, 0, 2),
  ('TempDHRecord', 'DHDate', '兑换日期', 90, 1, 5, 0, 0, 0),
  ('TempDHRecord', 'ID', '编号', 60, 0, 6, 0, 0, 0);

-- MemLevel
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('MemLevel', 'CardType', '会员卡级别', 104, 1, 0, 0, 0, 0),
  ('MemLevel', 'Discount', '折扣', 60, 1, 1, 0, 0, 0),
  ('MemLevel', 'UpgradeMoney', '升级金额', 88, 1, 2, 0, 0, 3),
  ('MemLevel', 'ID', '编号', 60, 0, 3, 0, 0, 0);

-- CashPercent
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('CashPercent', 'CashPercent', '每积1分消费金额', 152, 1, 0, 0, 0, 0),
  ('CashPercent', 'ID', '编号', 60, 0, 1, 0, 0, 0);

-- Other
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('Other', 'ID', '编号', 60, 1, 0, 0, 0, 0),
  ('Other', 'Name', '名称', 120, 1, 1, 0, 0, 0);

-- import
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('import', 'FieldName', '数据库字段', 120, 1, 0, 0, 0, 0),
  ('import', 'F_Field', 'Excel字段', 140, 1, 1, 0, 0, 0),
  ('import', 'S_Field', '数据库列名', 104, 0, 2, 0, 0, 0),
  ('import', 'tablename', '导入类别', 88, 0, 3, 0, 0, 0),
  ('import', 'ImportID', '序号', 60, 0, 4, 0, 0, 0);

-- FieldCaption
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('FieldCaption', 'Field', '字段名', 100, 1, 0, 0, 0, 0),
  ('FieldCaption', 'Name', '显示标题', 120, 1, 1, 0, 0, 0),
  ('FieldCaption', 'Width', '列宽', 60, 1, 2, 0, 0, 0),
  ('FieldCaption', 'Show', '是否显示', 88, 1, 3, 0, 0, 0),
  ('FieldCaption', 'ShowID', '显示顺序', 88, 1, 4, 0, 0, 0),
  ('FieldCaption', 'SumField', '底部合计', 88, 1, 5, 0, 0, 0),
  ('FieldCaption', 'ShowButton', '显示按钮', 88, 1, 6, 0, 0, 0),
  ('FieldCaption', 'dotsize', '数字格式', 88, 1, 7, 0, 0, 0),
  ('FieldCaption', 'TableName', '表格名称', 100, 0, 8, 0, 0, 0),
  ('FieldCaption', 'ID', '编号', 60, 0, 9, 0, 0, 0);

-- R_MemCount
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('R_MemCount', 'CardCode', '会员卡号', 100, 1, 0, 0, 0, 0),
  ('R_MemCount', 'MemName', '会员姓名', 88, 1, 1, 0, 0, 0),
  ('R_MemCount', 'Sex', '性别', 60, 1, 2, 0, 0, 0),
  ('R_MemCount', 'NewCard', '卡类型', 72, 1, 3, 0, 0, 0),
  ('R_MemCount', 'CardLevel', '会员级别', 88, 1, 4, 0, 0, 0),
  ('R_MemCount', 'CashMoney', '消费金额', 88, 1, 5, 1, 0, 3),
  ('R_MemCount', 'Cent', '消费积分', 88, 1, 6, 1, 0, 2),
  ('R_MemCount', 'Mobile', '手机', 100, 1, 7, 0, 0, 0),
  ('R_MemCount', 'tel', '联系电话', 100, 0, 8, 0, 0, 0),
  ('R_MemCount', 'Money', '卡中余额', 88, 0, 9, 1, 0, 3),
  ('R_MemCount', 'Category', '会员分组', 88, 0, 10, 0, 0, 0),
  ('R_MemCount', 'F_Flag', '标志', 60, 0, 11, 0, 0, 0);

-- R_MemDetail
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('R_MemDetail', 'BillCode', '单号', 150, 1, 0, 0, 0, 0),
  ('R_MemDetail', 'CashDate', '消费日期', 90, 1, 1, 0, 0, 0),
  ('R_MemDetail', 'CardCode', '会员卡号', 100, 1, 2, 0, 0, 0),
  ('R_MemDetail', 'MemName', '会员姓名', 88, 1, 3, 0, 0, 0),
  ('R_MemDetail', 'NewCard', '卡类型', 72, 1, 4, 0, 0, 0),
  ('R_MemDetail', 'CashMoney', '消费金额', 88, 1, 5, 1, 0, 3),
  ('R_MemDetail', 'ssMoney', '实收金额', 88, 1, 6, 1, 0, 3),
  ('R_MemDetail', 'ykMoney', '欠款金额', 88, 1, 7, 1, 0, 3),
  ('R_MemDetail', 'Cent', '积分', 60, 1, 8, 1, 0, 2),
  ('R_MemDetail', 'UserName', '操作员', 72, 1, 9, 0, 0, 0),
  ('R_MemDetail', 'Remark', '备注', 120, 1, 10, 0, 0, 0),
  ('R_MemDetail', 'Sex', '性别', 60, 0, 11, 0, 0, 0),
  ('R_MemDetail', 'CardLevel', '会员级别', 88, 0, 12, 0, 0, 0),
  ('R_MemDetail', 'Percent', '积分比例', 88, 0, 13, 0, 0, 0),
  ('R_MemDetail', 'UserID', '会员编号', 88, 0, 14, 0, 0, 0),
  ('R_MemDetail', 'Money', '单后余额', 88, 0, 15, 0, 0, 3),
  ('R_MemDetail', 'Time', '消费次数', 88, 0, 16, 1, 0, 2),
  ('R_MemDetail', 'tel', '联系电话', 100, 0, 17, 0, 0, 0),
  ('R_MemDetail', 'Mobile', '手机', 100, 0, 18, 0, 0, 0),
  ('R_MemDetail', 'Category', '会员分组', 88, 0, 19, 0, 0, 0);

-- R_DHRecord
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('R_DHRecord', 'DHDate', '兑换日期', 90, 1, 0, 0, 0, 0),
  ('R_DHRecord', 'CardCode', '会员卡号', 100, 1, 1, 0, 0, 0),
  ('R_DHRecord', 'MemName', '会员姓名', 88, 1, 2, 0, 0, 0),
  ('R_DHRecord', 'GoodsCode', '商品编码', 88, 1, 3, 0, 0, 0),
  ('R_DHRecord', 'GoodsName', '商品名称', 120, 1, 4, 0, 0, 0),
  ('R_DHRecord', 'DHNum', '兑换数量', 88, 1, 5, 1, 0, 2),
  ('R_DHRecord', 'Cent', '单位积分', 88, 1, 6, 0, 0, 1),
  ('R_DHRecord', 'DHCent', '兑换积分', 88, 1, 7, 1, 0, 2),
  ('R_DHRecord', 'UserID', '会员编号', 88, 0, 8, 0, 0, 0),
  ('R_DHRecord', 'Sex', '性别', 60, 0, 9, 0, 0, 0),
  ('R_DHRecord', 'tel', '联系电话', 100, 0, 10, 0, 0, 0),
  ('R_DHRecord', 'Mobile', '手机', 100, 0, 11, 0, 0, 0),
  ('R_DHRecord', 'CardLevel', '会员级别', 88, 0, 12, 0, 0, 0),
  ('R_DHRecord', 'NewCard', '卡类型', 72, 0, 13, 0, 0, 0);

-- R_MemXF
INSERT INTO T_FieldShow (TableName, Field, Name, Width, Show, ShowID, SumField, ShowButton, dotsize) VALUES
  ('R_MemXF', 'xfdate', '充值日期', 90, 1, 0, 0, 0, 0),
  ('R_MemXF', 'CardCode', '会员卡号', 100, 1, 1, 0, 0, 0),
  ('R_MemXF', 'MemName', '会员姓名', 88, 1, 2, 0, 0, 0),
  ('R_MemXF', 'CardType', '卡类型', 72, 1, 3, 0, 0, 0),
  ('R_MemXF', 'xfmoney', '充值金额', 88, 1, 4, 1, 0, 3),
  ('R_MemXF', 'UserName', '操作员', 72, 1, 5, 0, 0, 0),
  ('R_MemXF', 'ID', '充值编号', 88, 0, 6, 0, 0, 0);

-- Excel import mappings, in the order the spreadsheet columns are proposed.
-- F_Field ' ' = not imported until the operator maps a column.
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES
  ('custom', 'CardCode', '会员卡号', ' '),
  ('custom', 'MemName', '会员姓名', ' '),
  ('custom', 'Sex', '性别', ' '),
  ('custom', 'Birthday', '出生日期', ' '),
  ('custom', 'tel', '联系电话', ' '),
  ('custom', 'Mobile', '手机', ' '),
  ('custom', 'address', '联系地址', ' '),
  ('custom', 'Zip', '邮编', ' '),
  ('custom', 'email', '电子邮件', ' '),
  ('custom', 'dw', '工作单位', ' '),
  ('custom', 'mz', '民族', ' '),
  ('custom', 'NewCard', '卡类型', ' '),
  ('custom', 'CardLevel', '会员级别', ' '),
  ('custom', 'Discount', '折扣', ' '),
  ('custom', 'BeginDate', '办卡日期', ' '),
  ('custom', 'EndDate', '到期日期', ' '),
  ('custom', 'state', '会员状态', ' '),
  ('custom', 'Money', '卡中余额', ' '),
  ('custom', 'StartCent', '初始积分', ' '),
  ('custom', 'Category', '会员分组', ' '),
  ('custom', 'UserName', '记录员', ' '),
  ('custom', 'memo', '备注', ' '),
  ('custom', 'Other1', '自定义1', ' '),
  ('custom', 'Other2', '自定义2', ' '),
  ('custom', 'Other3', '自定义3', ' '),
  ('custom', 'Other4', '自定义4', ' '),
  ('custom', 'Other5', '自定义5', ' '),
  ('custom', 'Other6', '自定义6', ' '),
  ('goods', 'GoodsCode', '商品编码', ' '),
  ('goods', 'GoodsName', '商品名称', ' '),
  ('goods', 'GoodsType', '商品分类', ' '),
  ('goods', 'Units', '单位', ' '),
  ('goods', 'SalePrice', '销售价', ' '),
  ('goods', 'InPrice', '进货价', ' '),
  ('goods', 'DepotNum', '库存数量', ' '),
  ('goods', 'BarCode', '条形码', ' '),
  ('goods', 'Remark', '备注', ' ');

-- Data initialisation actions. Each SQL value is ONE plain statement that runs on both
-- backends (the dialog runs it as stored, all ticked actions in one transaction, in this
-- order). A bill is two tables, so it takes two actions.
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES
  ('清除会员资料', 'DELETE FROM T_Card', 1),
  ('清除已删除会员的余额流水', 'DELETE FROM T_CardLedger WHERE UserID NOT IN (SELECT UserID FROM T_Card)', 1),
  ('清除消费单据', 'DELETE FROM T_CardCash', 1),
  ('清除消费明细', 'DELETE FROM T_CardCashDetail', 1),
  ('清除充值记录', 'DELETE FROM T_Money', 1),
  ('清除积分兑换记录', 'DELETE FROM T_DHRecord', 1),
  ('清除商品资料', 'DELETE FROM T_Goods', 1),
  ('清除兑换商品资料', 'DELETE FROM T_DHGoods', 1),
  ('清除会员分组', 'DELETE FROM Mem_Category', 1),
  ('清除商品分组', 'DELETE FROM Goods_Category', 1),
  ('清除统计临时数据', 'DELETE FROM T_Temp_MemCount', 1);

-- Points ratios: yuan per point; the first row is the default.
INSERT INTO Dict_CashPercent (CashPercent) VALUES (1), (10), (100);

-- Units of measure (the goods editor proposes the fourth).
INSERT INTO Dict_Units (Name) VALUES
  ('个'), ('件'), ('次'), ('瓶'), ('盒'), ('套'), ('千克'), ('张');

-- The 56 nationalities of China.
INSERT INTO Dict_Mz (Name) VALUES
  ('汉族'), ('蒙古族'), ('回族'), ('藏族'), ('维吾尔族'), ('苗族'), ('彝族'), ('壮族'),
  ('布依族'), ('朝鲜族'), ('满族'), ('侗族'), ('瑶族'), ('白族'), ('土家族'), ('哈尼族'),
  ('哈萨克族'), ('傣族'), ('黎族'), ('傈僳族'), ('佤族'), ('畲族'), ('高山族'), ('拉祜族'),
  ('水族'), ('东乡族'), ('纳西族'), ('景颇族'), ('柯尔克孜族'), ('土族'), ('达斡尔族'), ('仫佬族'),
  ('羌族'), ('布朗族'), ('撒拉族'), ('毛南族'), ('仡佬族'), ('锡伯族'), ('阿昌族'), ('普米族'),
  ('塔吉克族'), ('怒族'), ('乌孜别克族'), ('俄罗斯族'), ('鄂温克族'), ('德昂族'), ('保安族'), ('裕固族'),
  ('京族'), ('塔塔尔族'), ('独龙族'), ('鄂伦春族'), ('赫哲族'), ('门巴族'), ('珞巴族'), ('基诺族');

-- Card levels. The first row is what a new upgrade card starts with. The star levels are the
-- ones an upgrade card climbs at checkout (consumption 1000, 2000, 5000, 100000, 500000).
INSERT INTO Dict_CardType (CardType, Discount, UpgradeMoney) VALUES
  ('普通卡', 1, 0),
  ('银卡', 0.95, 2000),
  ('金卡', 0.9, 5000),
  ('钻石卡', 0.85, 10000),
  ('★', 0.9, 1000),
  ('★★', 0.8, 2000),
  ('★★★', 0.7, 5000),
  ('★★★★', 0.6, 100000),
  ('★★★★★', 0.5, 500000);

INSERT INTO Dict_GoodsType (Name) VALUES
  ('食品'), ('饮料'), ('日用品'), ('服务项目'), ('礼品');

-- Category trees: two digits per level.
INSERT INTO Mem_Category (code, name) VALUES
  ('01', '普通会员'),
  ('0101', '散客会员'),
  ('02', 'VIP会员'),
  ('0201', '金牌VIP'),
  ('03', '企业会员'),
  ('0301', '合作单位');

INSERT INTO Goods_Category (code, name) VALUES
  ('01', '商品'),
  ('0101', '食品饮料'),
  ('02', '服务项目'),
  ('0201', '美容护理'),
  ('03', '礼品'),
  ('0301', '节日礼品');
